#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "KeyEvent.h"
#include "KeyMap.h"
#include "ModelessDialog.h"

// A dialog that waits for the remote's keys: Map a key and Set up the
// remote. While it is open, it takes every key from the key map's actions
// (a capture of the key path): nothing is typed or started meanwhile, and
// each press is the dialog's (Pressed); the menu's last-key line says where
// the key went.
class CaptureDialog : public ModelessDialog, public KeyListener {
public:
    // What a dialog needs of the program.
    struct Host {
        std::wstring settingsPath;
        std::function<const KeyMap&()> map; // the map as it is now
        std::function<void()> saved;        // the file changed: read the map again
    };

    // described: how the last-key line ends for a key taken here.
    CaptureDialog(UINT templateId, Host host, const char* described)
        : ModelessDialog(templateId), host_(std::move(host)), described_(described)
    {
    }

    void OnKey(const KeyEvent& event, KeyHandling* handling) final;

protected:
    // A press of code, while open.
    virtual void Pressed(unsigned code) = 0;

    Host host_;

private:
    const char* described_;
};
