#include "KeyDispatcher.h"

#include "KeyInput.h"
#include "RunCommand.h"
#include "Strings.h"

KeyDispatcher::KeyDispatcher() : lastKey_(strings::kMenuNoKeyYet)
{
}

void KeyDispatcher::SetMap(KeyMap map)
{
    machine_.Reset(); // its mapping points into the old map
    map_ = std::move(map);
    KeyStateMachine::Timing timing;
    timing.guardMs = map_.repeatGuardMs;
    timing.longPressMs = map_.longPressMs;
    timing.repeatDelayMs = map_.repeatDelayMs;
    machine_.SetTiming(timing);
    mapping_ = nullptr;
    section_ = nullptr;
}

void KeyDispatcher::Arrive(unsigned code, DWORD now, const std::function<std::string()>& program,
                           std::vector<DueAction>* due)
{
    size_t before = due->size();
    if (!machine_.Continues(code, now)) {
        // The section is chosen when the key goes down and holds until it
        // is released, whatever comes to the front meanwhile.
        code_ = code;
        section_ = nullptr;
        mapping_ = map_.Find(code, map_.HasProgramSections() ? program() : std::string(),
                             &section_);
    }
    machine_.Arrive(code, mapping_, now, due);
    // A released key's short action comes first; the line is this key's.
    Describe(due->size() > before ? &due->back() : nullptr);
}

void KeyDispatcher::Tick(DWORD now, std::vector<DueAction>* due)
{
    machine_.Tick(now, due);
}

void KeyDispatcher::Describe(DueAction* performed)
{
    bool named = !map_.NameOf(code_).empty();
    lastKey_ = strings::kMenuLastKey + DescribeButton(map_, code_);
    if (!mapping_) {
        lastKey_ += strings::kNotMapped;
        return;
    }
    lastKey_ += (named ? strings::kMapsTo : " = ") + DescribeMapping(*mapping_);
    if (map_.HasProgramSections() && section_)
        lastKey_ += strings::kFromSection + section_->Name();
    KeyStateMachine::Phase phase = machine_.phase();
    if (performed && performed->isLong)
        lastKey_ += strings::kLong;
    else if (!performed && phase == KeyStateMachine::Phase::Held)
        lastKey_ += strings::kHeld;
}

bool PerformAction(const KeyAction& action, unsigned times, std::string* title, std::string* text)
{
    std::string error;
    for (unsigned i = 0; i < times; ++i) {
        switch (action.kind) {
        case KeyAction::Kind::Nothing:
            return true;
        case KeyAction::Kind::Keys:
            if (SendKeyStroke(action.keys, &error))
                break;
            *title = strings::kSendFailedTitle;
            *text = DescribeAction(action) + ": " + error;
            return false;
        case KeyAction::Kind::Run:
            if (RunCommand(action.command, &error))
                break;
            *title = strings::kRunFailedTitle;
            *text = action.command + "\n" + error;
            return false;
        }
    }
    return true;
}
