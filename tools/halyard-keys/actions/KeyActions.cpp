#include "KeyActions.h"

#include "DisplayText.h"
#include "Strings.h"

namespace {

// Fast repeats: how many actions one frame is worth after so long held.
const DWORD kFastTwiceAfterMs = 1000;
const DWORD kFastThriceAfterMs = 2000;

unsigned RepeatTimes(Repeat repeat, DWORD heldMs)
{
    if (repeat != Repeat::Fast || heldMs < kFastTwiceAfterMs)
        return 1;
    return heldMs < kFastThriceAfterMs ? 2 : 3;
}

// What goes to the window in front as input, which the menu would take
// and Windows drops for a program with more rights.
bool IsTyped(const KeyAction& action)
{
    return action.kind == KeyAction::Kind::Keys || action.kind == KeyAction::Kind::Type ||
           action.kind == KeyAction::Kind::Pointer;
}

void MoveDirection(PointerAction action, int* dx, int* dy)
{
    switch (action) {
    case PointerAction::Up: *dx = 0; *dy = -1; break;
    case PointerAction::Down: *dx = 0; *dy = 1; break;
    case PointerAction::Left: *dx = -1; *dy = 0; break;
    case PointerAction::Right: *dx = 1; *dy = 0; break;
    case PointerAction::UpLeft: *dx = -1; *dy = -1; break;
    case PointerAction::UpRight: *dx = 1; *dy = -1; break;
    case PointerAction::DownLeft: *dx = -1; *dy = 1; break;
    case PointerAction::DownRight: *dx = 1; *dy = 1; break;
    default: *dx = *dy = 0; break;
    }
}

} // namespace

KeyActions::KeyActions(const KeyMap& map, ActionPerformer* performer,
                       std::function<std::string()> program, std::function<void()> modeChanged,
                       PointerMover* mover, std::function<std::string()> unreachable)
    : map_(map), performer_(performer), program_(std::move(program)),
      modeChanged_(std::move(modeChanged)), mover_(mover), unreachable_(std::move(unreachable))
{
}

void KeyActions::StopMoving()
{
    if (moving_ && mover_)
        mover_->Stop();
    moving_ = false;
}

void KeyActions::MapChanged()
{
    inHand_ = false;
    StopMoving();
    if (modes_.MapChanged(map_))
        ModeChanged(nullptr);
}

void KeyActions::HoldBackKeystrokes(bool holdBack)
{
    holdBack_ = holdBack;
    if (holdBack)
        StopMoving();
    performer_->HoldBack(holdBack);
}

void KeyActions::LeaveMode()
{
    if (modes_.Enter(std::string(), false))
        ModeChanged(nullptr);
}

void KeyActions::Press(unsigned code, KeyHandling* handling)
{
    StopMoving();
    inHand_ = true;
    long_ = false;
    code_ = code;
    section_ = nullptr;
    mapping_ = map_.Find(code, map_.HasProgramSections() ? program_() : std::string(), &section_,
                         modes_.current());
    if (modes_.KeyPressed())
        ModeChanged(handling);
}

void KeyActions::OnKey(const KeyEvent& event, KeyHandling* handling)
{
    if (event.kind == KeyEvent::Kind::Cancel) {
        inHand_ = false;
        StopMoving();
        performer_->Stop();
        return;
    }
    notSent_.clear();
    if (event.kind == KeyEvent::Kind::Press)
        Press(event.code, handling);
    else if (!inHand_ || event.code != code_)
        return;
    handling->taken = true;
    bool performed = false;
    if (mapping_) {
        switch (event.kind) {
        case KeyEvent::Kind::Press:
            if (!mapping_->hasLong)
                performed = Act(mapping_->action, 1, handling);
            break;
        case KeyEvent::Kind::Repeat:
            performed = moving_; // a move goes on by itself while held
            // A sequence still being sent takes no more repeats: held, a
            // slow sequence must not run on long after the release.
            if (!mapping_->hasLong && mapping_->repeat != Repeat::Off &&
                event.heldMs >= map_.repeatDelayMs && performer_->Idle())
                performed = Act(mapping_->action, RepeatTimes(mapping_->repeat, event.heldMs),
                                handling);
            break;
        case KeyEvent::Kind::Long:
            if (mapping_->hasLong) {
                long_ = true;
                performed = Act(mapping_->longAction, 1, handling);
            }
            break;
        case KeyEvent::Kind::Release:
            if (mapping_->hasLong && !long_)
                Act(mapping_->action, 1, handling);
            break;
        case KeyEvent::Kind::Cancel:
            break;
        }
    }
    if (event.kind == KeyEvent::Kind::Release) {
        inHand_ = false;
        StopMoving();
        return; // the line stays as the last frame left it
    }
    handling->described = Described(performed || event.kind == KeyEvent::Kind::Press);
}

// True: the action was due (done, held back or failed).
bool KeyActions::Act(const KeyAction& action, unsigned times, KeyHandling* handling)
{
    if (action.kind == KeyAction::Kind::Mode) {
        if (modes_.Enter(map_.ModeName(action.mode), action.once))
            ModeChanged(handling);
        return true;
    }
    bool move = action.kind == KeyAction::Kind::Pointer && IsPointerMove(action.pointer);
    if (IsTyped(action) && holdBack_)
        return true;
    // The cursor is moved, not sent input: it moves over any window.
    if (IsTyped(action) && !move && NotSent(handling))
        return true;
    if (move) {
        int dx, dy;
        MoveDirection(action.pointer, &dx, &dy);
        if (mover_) {
            mover_->Start(dx, dy);
            moving_ = true;
        }
        handling->shown = NamedDisplayText(map_.NameOf(code_), action);
        return true;
    }
    if (performer_->Perform(action, times))
        handling->shown = NamedDisplayText(map_.NameOf(code_), action);
    return true;
}

// Whether the program in front would not get the input; then the display
// says so, also without ShowKeys, for nothing else would tell why nothing
// happens.
bool KeyActions::NotSent(KeyHandling* handling)
{
    std::string program = unreachable_ ? unreachable_() : std::string();
    if (program.empty())
        return false;
    notSent_ = strings::kNotSent + program + strings::kRunsAsAdmin;
    handling->shown = notSent_;
    handling->showAlways = true;
    return true;
}

// A mode on or off shows on the screen, also without ShowKeys: nothing
// else would tell the user why the keys do something else now.
void KeyActions::ModeChanged(KeyHandling* handling)
{
    // A drag lasts until its mode ends.
    performer_->EndDrag();
    if (handling) {
        handling->shown = ModeDisplayText(modes_.current());
        handling->showAlways = true;
    }
    if (modeChanged_)
        modeChanged_();
}

// " = Enter", " → Enter, from [Keys:vlc.exe] (held)", " (not mapped)".
std::string KeyActions::Described(bool performed) const
{
    if (!mapping_)
        return strings::kNotMapped;
    std::string text = (map_.NameOf(code_).empty() ? " = " : strings::kMapsTo) +
                       DescribeMapping(*mapping_);
    if (section_ && (map_.HasProgramSections() || !modes_.current().empty()))
        text += strings::kFromSection + section_->Name();
    if (long_)
        text += strings::kLong;
    else if (!performed)
        text += strings::kHeld;
    if (!notSent_.empty())
        text += strings::kNotSentAfter + notSent_;
    return text;
}
