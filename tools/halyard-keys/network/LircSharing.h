#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "KeyEvent.h"
#include "LircServer.h"
#include "NetworkSettings.h"
#include "Notices.h"

// Sharing the remote with LIRC programs: the server's life as [Network]
// says (off unless Listen= turns it on), its reloads, the problems the user
// hears of, the menu's switch, and the key lines. A listener of the key
// path's Share stage: every frame goes to the clients, mapped or not, also
// while a dialog takes the keys: they listen, they do not act here.
class LircSharing : public KeyListener {
public:
    // window receives socketMessage for the server's sockets (OnSocketMessage).
    // nameOf names a key ("" for one without a name).
    LircSharing(HWND window, UINT socketMessage, std::wstring iniPath, Notices* notices,
                std::function<std::string(unsigned code)> nameOf);

    // Reads [Network] and starts the server as it says. A port taken by
    // another program or a refused Listen= is told once; the keys work on.
    void Start(const std::string& maskCode);
    // Settings read again: with the same Listen=, the clients stay and hear
    // SIGHUP, as lircd's do; another Listen= starts the server anew.
    void Reload(const std::string& maskCode);
    void Shutdown() { server_.reset(); }
    // MaskCode as the library applies it: the custom code in each line.
    void SetMaskCode(const std::string& maskCode);
    // The menu's Share the remote: Listen= on for this PC, or off.
    void Toggle(const std::string& maskCode);
    bool listening() const { return server_ && server_->listening(); }

    bool OnSocketMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnKey(const KeyEvent& event, KeyHandling* handling) override;

private:
    void NotifyProblems(const std::string& startError);

    HWND window_;
    UINT socketMessage_;
    std::wstring iniPath_;
    Notices* notices_;
    std::function<std::string(unsigned)> nameOf_;
    std::unique_ptr<LircServer> server_;
    NetworkSettings settings_;
};
