#include "StepAside.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "Text.h"

namespace {

// Processes are read when they make their first window (a host needs one
// for the keys); then each second while one is starting or reads the
// tuner; and the whole process list now and then, for what no event told.
const UINT kReaderRefreshMs = 1000;
const UINT kStartingRefreshMs = 500; // a new program may be loading the library now
const UINT kProcessListMs = 15000;
const UINT kProcessListNoEventsMs = 1000; // where the system gives no WinEvents

// The one watch whose WinEvents are heard (a hook's callback has no context).
HWND winEventWindow = nullptr;
UINT appearedMessage = 0;
UINT maybeLoadedMessage = 0;

} // namespace

StepAside::StepAside(HWND window, const Ids& ids, TunerSession* tuner,
                     std::function<bool()> enabled, std::function<void()> changed)
    : window_(window), ids_(ids), tuner_(tuner), enabled_(std::move(enabled)),
      changed_(std::move(changed))
{
}

void StepAside::Watch()
{
    processes_.reset(new SystemProcesses(window_, ids_.endedMessage));
    readers_.reset(new ReaderWatch(processes_.get(), CurrentReaderSelf()));
    // A new program is read when it makes its first window. One may load
    // the library long after it started, from a menu or a dialog of its
    // own: it is read again when it comes to the front and when one of its
    // menus or dialogs closes.
    winEventWindow = window_;
    appearedMessage = ids_.appearedMessage;
    maybeLoadedMessage = ids_.maybeLoadedMessage;
    winEvents_[0] = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWinEvent,
                                    0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    winEvents_[1] = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_DIALOGEND, nullptr,
                                    OnWinEvent, 0, 0,
                                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    OnReaderEvent(readers_->Scan(GetTickCount()));
    SetTimer(window_, ids_.processListTimer,
             winEvents_[0] ? kProcessListMs : kProcessListNoEventsMs, nullptr);
}

void StepAside::Shutdown()
{
    for (HWINEVENTHOOK& hook : winEvents_)
        if (hook) {
            UnhookWinEvent(hook);
            hook = nullptr;
        }
    if (winEventWindow == window_)
        winEventWindow = nullptr;
    if (readers_) {
        KillTimer(window_, ids_.refreshTimer);
        KillTimer(window_, ids_.processListTimer);
    }
    readers_.reset();
    processes_.reset();
}

void CALLBACK StepAside::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                    LONG child, DWORD, DWORD)
{
    UINT message = 0;
    if (event == EVENT_OBJECT_CREATE && object == OBJID_WINDOW && child == CHILDID_SELF)
        message = appearedMessage;
    else if (event == EVENT_SYSTEM_FOREGROUND || event == EVENT_SYSTEM_MENUEND ||
             event == EVENT_SYSTEM_MENUPOPUPEND || event == EVENT_SYSTEM_DIALOGEND)
        message = maybeLoadedMessage;
    DWORD pid = 0;
    if (!message || !window || !winEventWindow || !GetWindowThreadProcessId(window, &pid))
        return;
    PostMessageW(winEventWindow, message, pid, 0);
}

bool StepAside::OnMessage(UINT msg, WPARAM wParam)
{
    DWORD pid = static_cast<DWORD>(wParam);
    if (msg == ids_.endedMessage) {
        if (readers_)
            OnReaderEvent(readers_->Ended(pid));
    } else if (msg == ids_.maybeLoadedMessage) {
        if (readers_)
            OnReaderEvent(readers_->Check(pid, GetTickCount()));
    } else if (msg == ids_.appearedMessage) {
        if (readers_)
            OnReaderEvent(readers_->Appeared(pid, GetTickCount()));
    } else {
        return false;
    }
    return true;
}

bool StepAside::OnTimer(UINT_PTR id)
{
    if (id == ids_.refreshTimer && readers_)
        OnReaderEvent(readers_->Refresh(GetTickCount()));
    else if (id == ids_.processListTimer && readers_)
        OnReaderEvent(readers_->Scan(GetTickCount()));
    else
        return id == ids_.refreshTimer || id == ids_.processListTimer;
    return true;
}

// After any news of the processes: the state, and whether the readers and
// the starting programs want reading each second.
void StepAside::OnReaderEvent(bool changed)
{
    if (changed)
        Decide();
    // Armed anew only when its period changes: a stream of events must not
    // keep putting the next reading off.
    UINT period = !readers_->Busy()     ? 0
                  : readers_->Starting() ? kStartingRefreshMs
                                         : kReaderRefreshMs;
    if (period == refreshMs_)
        return;
    if (period)
        SetTimer(window_, ids_.refreshTimer, period, nullptr);
    else
        KillTimer(window_, ids_.refreshTimer);
    refreshMs_ = period;
}

bool StepAside::ShouldStandAside() const
{
    return enabled_() && HasReaders();
}

void StepAside::Decide()
{
    bool aside = ShouldStandAside();
    TunerState state = tuner_->state();
    if (aside && (state == TunerState::Listening || state == TunerState::Waiting))
        tuner_->StandAside();
    else if (!aside && state == TunerState::Aside)
        tuner_->Start(TunerSession::Asker::Recovery); // the other program is gone: the next key is ours
    else
        changed_(); // which programs it names
}

std::string StepAside::ReadersText(const char* format) const
{
    std::string readers = readers_ ? DescribeReaders(readers_->readers()) : std::string();
    std::vector<char> text(strlen(format) + readers.size() + 1);
    snprintf(text.data(), text.size(), format, readers.c_str());
    return text.data();
}

std::wstring StepAside::Unheard() const
{
    if (tuner_->state() != TunerState::Aside || !readers_)
        return std::wstring();
    return Widen(DescribeReaders(readers_->readers()));
}
