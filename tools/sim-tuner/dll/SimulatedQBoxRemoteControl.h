#pragma once

#include "qbox/QBoxRemoteControl.h"

// The library's QBOX remote control, whose discovery meets a simulated tuner
// reading the session's shared tuner state. The simulated device enumerator
// is registered in the calling thread's apartment for the length of the
// discovery only, so the host's own use of the enumerator is never
// redirected. The tuner it found lives on, with the state, until the
// library releases it in CloseDevice.
class SimulatedQBoxRemoteControl final : public QBoxRemoteControl {
public:
    HRESULT OpenDevice() override;
};
