#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "ActionPerformer.h"
#include "InputSink.h"
#include "Notices.h"

// Carries out the key map's actions in order, without ever blocking the
// window: each key combination of a sequence is pressed and released in one
// SendInput before the next; a wait is the window's timer, during which
// keys, the menu and the LIRC clients are served as ever; an action that
// comes meanwhile waits behind the one in hand, whole (none lost, none
// doubled, never two interleaved). A step the system refuses ends its
// action, told once. Clicks and the wheel go in the same order; a drag's
// button stays down until a click, another drag, EndDrag or Stop.
class KeySender : public ActionPerformer {
public:
    // Past this many actions waiting, a key's action is dropped: a remote
    // pressed that often during long waits is a stuck button, not a user.
    static const size_t kMaxWaiting = 32;

    // The waits are window's timer timerId (window null in tests, which call
    // OnTimer themselves once waitingMs() is up).
    KeySender(HWND window, UINT_PTR timerId, InputSink* sink, Notices* notices);
    ~KeySender() override;
    KeySender(const KeySender&) = delete;
    KeySender& operator=(const KeySender&) = delete;

    bool Perform(const KeyAction& action, unsigned times) override;
    bool Idle() const override { return queue_.empty() && !waiting_; }
    void Stop() override;
    void EndDrag() override;
    void HoldBack(bool holdBack) override;

    // The wait in hand; false when id is not this sender's timer.
    bool OnTimer(UINT_PTR id);
    // The wait now running, in milliseconds; 0 for none.
    DWORD waitingMs() const { return waiting_ ? waitMs_ : 0; }

private:
    struct Step {
        enum class Kind { Inputs, Wait, Run, Show };
        Kind kind = Kind::Inputs;
        std::vector<INPUT> inputs;
        std::vector<WORD> keys; // Inputs: the keys it presses
        DWORD waitMs = 0;
        std::string command;
        unsigned action = 0; // which action it belongs to
        enum class Drag { None, Press, Drop } drag = Drag::None; // Inputs: of the left button
    };

    void Queue(const KeyAction& action, unsigned id);
    void Pump();
    void Fail(const Step& step, const std::string& error);

    HWND window_;
    UINT_PTR timerId_;
    InputSink* sink_;
    Notices* notices_;
    std::deque<Step> queue_;
    std::vector<std::string> what_; // each waiting action as the map writes it, by id % kMaxWaiting
    unsigned nextAction_ = 0;
    unsigned failures_ = 0;
    bool waiting_ = false;
    DWORD waitMs_ = 0;
    bool holdBack_ = false;
    bool pumping_ = false;
    std::vector<WORD> pressed_; // the keys the action in hand pressed, released on Stop if down
    bool dragging_ = false;   // a drag is held once what waits is sent
    bool buttonDown_ = false; // a drag's button is down now
};
