#pragma once

#include <windows.h>

// When to start the library again without being asked. The tuner is a USB
// box: after sleep, or when its cable is pulled and put back, the device is
// enumerated anew and the interface the library holds is dead, its every
// read failing silently. Only a new InitRemoteControl finds the new one. And
// a tuner switched on after the program started (at sign-in) appears
// without anyone clicking Retry.
//
// So: after a resume or a device change, the library is restarted once the
// notices have settled (a replug brings several); while no tuner is found
// it is tried again at every device change and on a timer that backs off.
// The program feeds it the events and asks Due() when the wait is over;
// all times are GetTickCount values, so that tests can bring their own.
class TunerRecovery {
public:
    // Quiet time after the last notice before acting on them: Windows sends
    // DBT_DEVNODES_CHANGED a few times for one replug.
    static constexpr DWORD kSettleMs = 500;
    // ... but a steady stream of notices does not put the restart off for
    // longer than this.
    static constexpr DWORD kMaxSettleMs = 3000;
    // Waiting for the tuner: the first retry after this long, then twice the
    // wait each time, up to the last.
    static constexpr DWORD kFirstRetryMs = 1000;
    static constexpr DWORD kLastRetryMs = 30000;

    enum class Attempt {
        None,
        Start,   // the library is stopped: InitRemoteControl
        Restart, // it runs on a tuner that may be gone: UnInitRemoteControl, then Init
    };

    // The outcome of every start, whoever asked for it.
    void Started();
    void NoTuner(DWORD now); // found no tuner: keep trying
    void Stopped();          // paused, or failed for good: no attempts until started again

    // WM_POWERBROADCAST's resume, WM_DEVICECHANGE's arrival, removal or
    // DBT_DEVNODES_CHANGED.
    void Resumed(DWORD now);
    void DeviceChanged(DWORD now);

    // What to do at now, once: after it, the outcome of the attempt is
    // expected (Started, NoTuner or Stopped).
    Attempt Due(DWORD now);
    // Milliseconds from now until Due has something to do; INFINITE when
    // nothing is pending.
    DWORD WaitMs(DWORD now) const;

    bool waiting() const { return state_ == State::Waiting; }

private:
    enum class State { Off, Running, Waiting };

    void Settle(DWORD now);

    State state_ = State::Off;
    bool pending_ = false;  // an attempt is due at dueAt_
    DWORD dueAt_ = 0;
    bool settling_ = false; // pending for notices, since settleStart_
    DWORD settleStart_ = 0;
    DWORD retryMs_ = kFirstRetryMs;
};
