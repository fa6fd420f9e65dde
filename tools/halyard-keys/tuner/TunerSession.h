#pragma once

#include <windows.h>

#include <dbt.h>

#include <functional>
#include <string>

#include "HalyardLibrary.h"
#include "KeysPaths.h"
#include "Notices.h"
#include "TunerRecovery.h"
#include "TunerState.h"

// The library started on the program's window, and kept running: started
// at the user's word, stopped, failed, waiting for the tuner, started again
// after sleep and replugging (TunerRecovery), or let go while another
// program reads the tuner. Owns COM on the window's thread, the library,
// the recovery timer and the tuner's device notifications.
class TunerSession {
public:
    struct Host {
        // Whether a start must stand aside instead (another program reads).
        std::function<bool()> mustStandAside;
        // The state changed: whatever keys started must end.
        std::function<void()> changed;
        // MaskCode as read at a start (the LIRC lines carry it).
        std::function<void(const std::string& maskCode)> maskCodeRead;
    };

    TunerSession(HWND window, UINT_PTR timerId, const KeysPaths& paths, Notices* notices,
                 Host host);
    ~TunerSession() { Shutdown(); }
    TunerSession(const TunerSession&) = delete;
    TunerSession& operator=(const TunerSession&) = delete;

    // Who asked for a start: the user (the program's start, Resume, Retry)
    // hears why it failed; a start of the recovery's own does not.
    enum class Asker { User, Recovery };
    void Start(Asker asker);
    void Stop();
    // Stops reading and lets the library go, so that the other program
    // gets every key and no tool takes halyard-keys for a reader.
    void StandAside();
    // The settings were read again: MaskCode is read when the library
    // starts, so a changed one starts it anew.
    void SettingsReloaded();
    // Stops for good: the program ends.
    void Shutdown();

    // WM_POWERBROADCAST, WM_DEVICECHANGE and the recovery timer; false when
    // the message is not the session's.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool OnTimer(UINT_PTR id);

    TunerState state() const { return state_; }
    bool listening() const { return state_ == TunerState::Listening; }
    const std::string& failure() const { return failure_; }
    // MaskCode as the running library applies it, else as the file says now.
    std::string maskCode() const;

private:
    void Fail(const std::string& reason);
    void WaitForTuner(Asker asker);
    void Notice(bool resumed);
    void ArmRecoveryTimer();
    void Changed();
    std::string ReadMaskCode() const;

    HWND window_;
    UINT_PTR timerId_;
    const KeysPaths& paths_;
    Notices* notices_;
    Host host_;
    bool comReady_ = false;
    HalyardLibrary library_;
    TunerState state_ = TunerState::Failed;
    std::string failure_;
    std::string maskCode_; // as read when the library started
    TunerRecovery recovery_;
    HDEVNOTIFY tunerNotify_ = nullptr;
    bool toldNotListening_ = false; // a notification said the remote does not work
};
