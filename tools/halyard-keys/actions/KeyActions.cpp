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

} // namespace

KeyActions::KeyActions(const KeyMap& map, ActionPerformer* performer, Notices* notices,
                       std::function<std::string()> program)
    : map_(map), performer_(performer), notices_(notices), program_(std::move(program))
{
}

void KeyActions::Press(unsigned code)
{
    inHand_ = true;
    long_ = false;
    code_ = code;
    section_ = nullptr;
    mapping_ = map_.Find(code, map_.HasProgramSections() ? program_() : std::string(), &section_);
}

void KeyActions::OnKey(const KeyEvent& event, KeyHandling* handling)
{
    if (event.kind == KeyEvent::Kind::Cancel) {
        inHand_ = false;
        return;
    }
    if (event.kind == KeyEvent::Kind::Press)
        Press(event.code);
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
            if (!mapping_->hasLong && mapping_->repeat != Repeat::Off &&
                event.heldMs >= map_.repeatDelayMs)
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
        return; // the line stays as the last frame left it
    }
    handling->described = Described(performed || event.kind == KeyEvent::Kind::Press);
}

// True: the action was due (done, held back or failed).
bool KeyActions::Act(const KeyAction& action, unsigned times, KeyHandling* handling)
{
    if (holdBack_ && action.kind == KeyAction::Kind::Keys)
        return true;
    std::string title, text;
    if (performer_->Perform(action, times, &title, &text))
        handling->shown = NamedDisplayText(map_.NameOf(code_), action);
    else
        notices_->Notify(title, text, Notices::Kind::Warning);
    return true;
}

// " = Enter", " → Enter, from [Keys:vlc.exe] (held)", " (not mapped)".
std::string KeyActions::Described(bool performed) const
{
    if (!mapping_)
        return strings::kNotMapped;
    std::string text = (map_.NameOf(code_).empty() ? " = " : strings::kMapsTo) +
                       DescribeMapping(*mapping_);
    if (map_.HasProgramSections() && section_)
        text += strings::kFromSection + section_->Name();
    if (long_)
        text += strings::kLong;
    else if (!performed)
        text += strings::kHeld;
    return text;
}
