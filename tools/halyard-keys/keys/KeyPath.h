#pragma once

#include <windows.h>

#include <vector>

#include "KeyEvent.h"
#include "KeyFrames.h"

// The one way a remote key goes: each frame from the library enters here,
// becomes key events once (KeyFrames), and each event goes to the
// listeners, stage by stage, in the order they were added within a stage:
//   Share    every event: the LIRC clients hear each frame before anything
//            is typed;
//   Capture  an open dialog that waits for a key (Set up the remote, Map a
//            key) takes it; then no action sees it;
//   Act      what the key map makes of it; the first listener that takes
//            the event is the last of this stage to see it;
//   Show     every event, with what the stages before said of it: the
//            on-screen display, the menu's last-key line, the setup's offer.
// A Cancel goes to every listener, taken or not.
class KeyPath {
public:
    enum class Stage { Share, Capture, Act, Show };

    // The release timer is window's timer timerId (window may be null in
    // tests, which call Tick themselves).
    KeyPath(HWND window, UINT_PTR timerId) : window_(window), timerId_(timerId) {}
    ~KeyPath();
    KeyPath(const KeyPath&) = delete;
    KeyPath& operator=(const KeyPath&) = delete;

    // A listener lives as long as the path.
    void Listen(Stage stage, KeyListener* listener);
    void SetTiming(const KeyFrames::Timing& timing) { frames_.SetTiming(timing); }

    // A frame of code at now (GetTickCount).
    void Frame(unsigned code, DWORD now);
    // The release timer; false when id is not its.
    bool OnTimer(UINT_PTR id, DWORD now);
    void Tick(DWORD now);
    // When Tick has a release to make: INFINITE when no key is in hand.
    DWORD WaitMs(DWORD now) const { return frames_.WaitMs(now); }
    // Ends what the keys started: see KeyEvent::Kind::Cancel. From a
    // listener, once the event in hand has gone to every listener.
    void Cancel();

private:
    struct Entry {
        Stage stage;
        KeyListener* listener;
    };

    void Deliver();
    void ArmTimer(DWORD now);

    HWND window_;
    UINT_PTR timerId_;
    bool timerArmed_ = false;
    bool delivering_ = false;
    bool cancelAfter_ = false;
    KeyFrames frames_;
    std::vector<Entry> listeners_; // in stage order
    std::vector<KeyEvent> events_; // kept: no allocation per frame once grown
};
