#pragma once

#include <windows.h>

#include <strmif.h>

#include "../monitor/RemoteControlMonitor.h"

// The QBOX tuner as a remote-control source: reads the remote-code property of
// the tuner's driver and keeps the frames whose custom code is "MaskCode".
class QBoxRemoteControl : public RemoteControlMonitor {
public:
    QBoxRemoteControl();
    // Releases the tuner; does not stop the monitor thread.
    ~QBoxRemoteControl() override;

    HRESULT OpenDevice() override;
    HRESULT CloseDevice() override;
    HRESULT ReadRemoteCode(unsigned int* keyCode) override;

protected:
    IKsPropertySet* propertySet;
    LONG maskCode;
};
