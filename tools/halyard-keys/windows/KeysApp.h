#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "AutoStart.h"
#include "HalyardLibrary.h"
#include "KeyDispatcher.h"
#include "KeyDisplay.h"
#include "MapKeyDialog.h"
#include "KeysPaths.h"
#include "LircServer.h"
#include "NetworkSettings.h"
#include "RepeatCounter.h"
#include "TrayIcon.h"
#include "TrayMenu.h"
#include "TunerRecovery.h"

// The running program: a hidden window that receives the remote's keys and
// the notification icon's messages, the library started on it, and the key
// map that turns keys into keystrokes and commands.
class KeysApp {
public:
    static const char kWindowClass[];
    // Registered: a second instance asks the first to show itself with it.
    static UINT ShowMessage();
    // Registered: a second instance started with --map-key asks the first
    // to open Map a key... with it.
    static UINT MapKeyMessage();

    explicit KeysApp(KeysPaths paths);
    ~KeysApp();
    KeysApp(const KeysApp&) = delete;
    KeysApp& operator=(const KeysApp&) = delete;

    // Until Exit; returns the exit code. With mapKey, Map a key... opens
    // at the start.
    int Run(bool mapKey = false);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    // Who asked for a start: the user (the program's start, Resume, Retry)
    // hears why it failed; a start of the recovery's own does not.
    enum class Asker { User, Recovery };
    void Start(Asker asker);
    void Stop();
    void Fail(const std::string& reason);
    void WaitForTuner(Asker asker);
    void OnPowerOrDeviceNotice(bool resumed);
    void OnRecoveryTimer();
    void ArmRecoveryTimer();
    void LoadMap(bool reloading);
    void OnRemoteKey(unsigned code);
    void OnKeyTimer();
    void Perform(); // the actions in due_, then the key timer
    void ShowMenu(const RECT& at);
    void OnCommand(MenuCommand command);
    void EditMap();
    void ShowProblems();
    void ToggleAutoStart();
    void ToggleShowKeys();
    void UpdateIcon();
    void Shutdown();
    std::string ReadMaskCode() const;
    AutoStart AutoStartOfThisCopy() const;
    // The LIRC server ([Network]).
    void StartNetwork();
    void ReloadNetwork();
    void NotifyNetworkProblems(const std::string& startError);
    void ShareKey(unsigned code);
    void ToggleShareRemote();
    std::string ButtonName(unsigned code) const;

    KeysPaths paths_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    HICON activeIcon_ = nullptr;
    HICON inactiveIcon_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT showMessage_ = 0;
    UINT mapKeyMessage_ = 0;

    bool comReady_ = false;
    HalyardLibrary library_;
    MenuState::Mode mode_ = MenuState::Mode::Failed;
    std::string failure_;
    std::string maskCode_; // as read when the library started
    TunerRecovery recovery_;
    HDEVNOTIFY tunerNotify_ = nullptr;
    bool toldNotListening_ = false; // a notification said the remote does not work

    KeyDispatcher keys_;
    std::vector<DueAction> due_; // kept: no allocation per key once it has grown
    std::string mapError_; // why the file could not be read; empty when it was
    bool menuOpen_ = false;
    KeyDisplay display_; // ShowKeys: made on its first use
    std::unique_ptr<MapKeyDialog> mapKey_;

    std::unique_ptr<LircServer> lirc_;
    NetworkSettings network_;
    RepeatCounter repeats_;
};
