#include "KeySender.h"

#include "KeyInput.h"
#include "MouseInputs.h"
#include "Strings.h"

KeySender::KeySender(HWND window, UINT_PTR timerId, InputSink* sink, Notices* notices)
    : window_(window), timerId_(timerId), sink_(sink), notices_(notices), what_(kMaxWaiting)
{
}

KeySender::~KeySender()
{
    Stop();
}

void KeySender::Queue(const KeyAction& action, unsigned id)
{
    Step step;
    step.action = id;
    switch (action.kind) {
    case KeyAction::Kind::Keys:
        for (const KeyStep& key : action.steps) {
            step.kind = key.keys.empty() ? Step::Kind::Wait : Step::Kind::Inputs;
            step.waitMs = key.waitMs;
            step.inputs = KeyStrokeInputs(key.keys);
            step.keys = key.keys;
            queue_.push_back(step);
        }
        return;
    case KeyAction::Kind::Type:
        step.inputs = TextInputs(action.text);
        step.keys = {VK_RETURN};
        break;
    case KeyAction::Kind::Run:
    case KeyAction::Kind::Show:
        step.kind = action.kind == KeyAction::Kind::Run ? Step::Kind::Run : Step::Kind::Show;
        step.command = action.command;
        break;
    case KeyAction::Kind::Pointer:
        if (IsPointerMove(action.pointer))
            return;
        step.inputs = PointerInputs(action.pointer, dragging_);
        if (dragging_ && (action.pointer == PointerAction::Click ||
                          action.pointer == PointerAction::DoubleClick ||
                          action.pointer == PointerAction::Drag)) {
            step.drag = Step::Drag::Drop;
            dragging_ = false;
        } else if (action.pointer == PointerAction::Drag) {
            step.drag = Step::Drag::Press;
            dragging_ = true;
        }
        break;
    case KeyAction::Kind::Mode:
    case KeyAction::Kind::Nothing:
        return;
    }
    queue_.push_back(step);
}

void KeySender::EndDrag()
{
    if (!dragging_)
        return;
    KeyAction drop;
    drop.kind = KeyAction::Kind::Pointer;
    drop.pointer = PointerAction::Drag;
    Perform(drop, 1);
}

bool KeySender::Perform(const KeyAction& action, unsigned times)
{
    if (action.kind == KeyAction::Kind::Nothing || action.kind == KeyAction::Kind::Mode)
        return true;
    unsigned failures = failures_;
    for (unsigned i = 0; i < times; ++i) {
        if (nextAction_ - (queue_.empty() ? nextAction_ : queue_.front().action) >= kMaxWaiting)
            return true; // dropped: see kMaxWaiting
        unsigned id = nextAction_++;
        what_[id % kMaxWaiting] = DescribeAction(action);
        Queue(action, id);
    }
    Pump();
    return failures_ == failures;
}

void KeySender::Pump()
{
    if (pumping_)
        return;
    pumping_ = true;
    while (!queue_.empty() && !waiting_ && !holdBack_) {
        Step step = std::move(queue_.front());
        queue_.pop_front();
        bool last = queue_.empty() || queue_.front().action != step.action;
        std::string error;
        switch (step.kind) {
        case Step::Kind::Wait:
            waiting_ = true;
            waitMs_ = step.waitMs;
            if (window_)
                SetTimer(window_, timerId_, step.waitMs, nullptr);
            break;
        case Step::Kind::Inputs:
            pressed_.insert(pressed_.end(), step.keys.begin(), step.keys.end());
            if (!sink_->Send(step.inputs, &error)) {
                if (step.drag == Step::Drag::Press)
                    dragging_ = false; // SendInputs let go of what it took
                Fail(step, error);
            } else if (step.drag != Step::Drag::None)
                buttonDown_ = step.drag == Step::Drag::Press;
            break;
        case Step::Kind::Run:
            if (!sink_->Run(step.command, &error))
                Fail(step, error);
            break;
        case Step::Kind::Show:
            if (!sink_->Show(step.command, &error))
                Fail(step, error);
            break;
        }
        if (last)
            pressed_.clear(); // its action is through: each step released its keys
    }
    pumping_ = false;
}

// The rest of a failed action is dropped: half a sequence is worse than none.
void KeySender::Fail(const Step& step, const std::string& error)
{
    ++failures_;
    while (!queue_.empty() && queue_.front().action == step.action)
        queue_.pop_front();
    const std::string& what = what_[step.action % kMaxWaiting];
    switch (step.kind) {
    case Step::Kind::Run:
        notices_->Notify(strings::kRunFailedTitle, step.command + "\n" + error,
                         Notices::Kind::Warning);
        break;
    case Step::Kind::Show:
        notices_->Notify(strings::kShowFailedTitle, step.command + "\n" + error,
                         Notices::Kind::Warning);
        break;
    case Step::Kind::Inputs:
    case Step::Kind::Wait:
        notices_->Notify(strings::kSendFailedTitle, what + ": " + error, Notices::Kind::Warning);
        break;
    }
}

bool KeySender::OnTimer(UINT_PTR id)
{
    if (id != timerId_)
        return false;
    if (window_)
        KillTimer(window_, timerId_);
    waiting_ = false;
    Pump();
    return true;
}

void KeySender::Stop()
{
    queue_.clear();
    if (waiting_ && window_)
        KillTimer(window_, timerId_);
    waiting_ = false;
    if (!pressed_.empty())
        sink_->ReleaseIfDown(pressed_);
    pressed_.clear();
    // The drag's button, whatever the system says of it: with the buttons
    // swapped, GetAsyncKeyState reads the other one.
    std::string error;
    if (buttonDown_)
        sink_->Send({MouseEvent(MOUSEEVENTF_LEFTUP)}, &error);
    buttonDown_ = dragging_ = false;
}

void KeySender::HoldBack(bool holdBack)
{
    holdBack_ = holdBack;
    if (!holdBack_)
        Pump();
}
