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
#include "SetupDialog.h"
#include "KeysPaths.h"
#include "ReaderWatch.h"
#include "SystemProcesses.h"
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
    // Registered: answered with the program's state (a MenuState::Mode), for
    // the programs that measure and test it.
    static UINT StateMessage();
    // Registered: the same for --setup and Set up the remote....
    static UINT SetupMessage();

    explicit KeysApp(KeysPaths paths);
    ~KeysApp();
    KeysApp(const KeysApp&) = delete;
    KeysApp& operator=(const KeysApp&) = delete;

    // A dialog to open at the start.
    enum class Open { Nothing, MapKey, Setup };
    // Until Exit; returns the exit code.
    int Run(Open open = Open::Nothing);

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
    bool MapIsEmpty() const;
    void OfferSetup();
    void OnKeyTimer();
    void Perform(); // the actions in due_, then the key timer
    void ShowMenu(const RECT& at);
    void OnCommand(MenuCommand command);
    void EditMap();
    void ShowProblems();
    void ToggleAutoStart();
    bool SaveOption(const char* name, bool on, const char* failedTitle);
    void ToggleShowKeys();
    void ToggleStepAside();
    // Other programs that read the tuner: halyard-keys stops reading while
    // one does (StepAside=1), and starts again when the last one is gone.
    void WatchReaders();
    void OnReaderEvent(bool changed);
    void OnReadersChanged();
    bool ShouldStandAside() const;
    void StandAside();
    static void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD);
    std::string ReadersText(const char* format) const;
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
    UINT stateMessage_ = 0;
    UINT setupMessage_ = 0;

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

    std::unique_ptr<SystemProcesses> processes_;
    std::unique_ptr<ReaderWatch> readers_;
    HWINEVENTHOOK winEvents_[2] = {}; // windows made; windows in front, menus and dialogs closed
    UINT refreshMs_ = 0;              // the readers' timer's period; 0: not running
    std::unique_ptr<SetupDialog> setup_;
    unsigned setupOffer_ = 0; // the offer's notification, while it may be the one shown
    bool offered_ = false;    // this user has had the offer: no need to ask again
    std::unique_ptr<LircServer> lirc_;
    NetworkSettings network_;
    RepeatCounter repeats_;
};
