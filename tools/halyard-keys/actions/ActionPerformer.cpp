#include "ActionPerformer.h"

#include "KeyInput.h"
#include "RunCommand.h"
#include "Strings.h"

bool SystemPerformer::Perform(const KeyAction& action, unsigned times, std::string* title,
                              std::string* text)
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
