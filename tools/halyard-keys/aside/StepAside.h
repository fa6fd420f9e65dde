#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ReaderWatch.h"
#include "SystemProcesses.h"
#include "TunerSession.h"

// Stepping aside for other programs that read the tuner (StepAside=1):
// halyard-keys stops reading while one does, and starts again when the last
// one is gone. Owns the watch (ReaderWatch on the system's processes), the
// WinEvent hooks that say when a program may have loaded the library, and
// the timers that read the starting programs and the readers again.
class StepAside {
public:
    // The window's messages and timers this part owns.
    struct Ids {
        UINT endedMessage;    // a watched process ended (wParam: its pid)
        UINT maybeLoadedMessage; // a program came to the front, a menu of its closed
        UINT appearedMessage; // a program made a window
        UINT_PTR refreshTimer;
        UINT_PTR processListTimer;
    };

    // enabled: StepAside= as the map says it. changed: the readers changed
    // while the state did not (the icon names them).
    StepAside(HWND window, const Ids& ids, TunerSession* tuner, std::function<bool()> enabled,
              std::function<void()> changed);
    ~StepAside() { Shutdown(); }
    StepAside(const StepAside&) = delete;
    StepAside& operator=(const StepAside&) = delete;

    // Starts the watch: the hooks, the first scan, the timers.
    void Watch();
    void Shutdown();
    bool OnMessage(UINT msg, WPARAM wParam);
    bool OnTimer(UINT_PTR id);

    bool ShouldStandAside() const;
    // StepAside= may have changed: stand aside, or read again.
    void Decide();
    bool HasReaders() const { return readers_ && !readers_->readers().empty(); }
    // format with %s for the readers: "Paused: %s reads the remote".
    std::string ReadersText(const char* format) const;
    // The readers, for the dialogs that wait for a key while aside; empty
    // when not aside.
    std::wstring Unheard() const;

private:
    static void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD);
    void OnReaderEvent(bool changed);

    HWND window_;
    Ids ids_;
    TunerSession* tuner_;
    std::function<bool()> enabled_;
    std::function<void()> changed_;
    std::unique_ptr<SystemProcesses> processes_;
    std::unique_ptr<ReaderWatch> readers_;
    HWINEVENTHOOK winEvents_[2] = {}; // windows made; windows in front, menus and dialogs closed
    UINT refreshMs_ = 0;              // the readers' timer's period; 0: not running
};
