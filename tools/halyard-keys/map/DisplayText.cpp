#include "DisplayText.h"

#include "KeyNames.h"
#include "PointerNames.h"
#include "Strings.h"
#include "Text.h"

namespace {

const char kSpaces[] = " \t";
// How much of a text to type the display shows, in bytes.
const size_t kTypedShown = 24;

bool IsFound(const std::string& program)
{
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, Widen(program).c_str(), L".exe", MAX_PATH, found, nullptr) > 0;
}

} // namespace

std::string KeysDisplayText(const std::vector<WORD>& keys)
{
    std::string text;
    for (WORD vk : keys)
        text += (text.empty() ? "" : "+") + KeyDisplayName(vk);
    return text;
}

// The program a command line starts, read as CreateProcess reads it: up to
// the closing quote; else the first run of words that names a program
// (C:\Program Files\Player\player.exe --x), or the first word when none
// does.
std::string ProgramOfCommand(const std::string& command)
{
    if (!command.empty() && command[0] == '"')
        return command.substr(1, command.find('"', 1) - 1);
    size_t end = 0;
    do {
        end = command.find_first_of(kSpaces, end + 1);
        std::string words = command.substr(0, end);
        if (IsFound(words))
            return words;
    } while (end != std::string::npos);
    return command.substr(0, command.find_first_of(kSpaces));
}

std::string ProgramName(const std::string& commandLine)
{
    size_t start = commandLine.find_first_not_of(kSpaces);
    std::string command = start == std::string::npos ? std::string() : commandLine.substr(start);
    std::string program = ProgramOfCommand(command);
    std::string name = program.substr(program.find_last_of("\\/:") + 1); // npos + 1 is 0
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name.empty() ? command : name;
}

std::string RunDisplayText(const std::string& commandLine)
{
    return strings::kRunDisplay + ProgramName(commandLine);
}

std::string ModeDisplayText(const std::string& mode)
{
    return mode.empty() ? strings::kModeOffDisplay : mode + strings::kModeDisplay;
}

std::string ActionDisplayText(const KeyAction& action)
{
    switch (action.kind) {
    case KeyAction::Kind::Keys: {
        // The keystrokes of a sequence; its waits show nothing.
        std::string text;
        for (const KeyStep& step : action.steps) {
            if (!step.keys.empty())
                text += (text.empty() ? "" : ", ") + KeysDisplayText(step.keys);
        }
        return text;
    }
    case KeyAction::Kind::Run:
        return RunDisplayText(action.command);
    case KeyAction::Kind::Show:
        return strings::kShowDisplay + ProgramName(action.command);
    case KeyAction::Kind::Type: {
        std::string text = action.text;
        if (text.size() > kTypedShown) {
            // Cut between characters, never inside one's UTF-8 bytes.
            size_t cut = kTypedShown;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                --cut;
            text = text.substr(0, cut) + "...";
        }
        return strings::kTypeDisplay + text;
    }
    case KeyAction::Kind::Mode:
        return ModeDisplayText(action.mode);
    case KeyAction::Kind::Pointer:
        return strings::kPointerDisplay + PointerActionName(action.pointer);
    case KeyAction::Kind::Nothing:
        break;
    }
    return std::string();
}

std::string NamedDisplayText(const std::string& name, const KeyAction& action)
{
    std::string text = ActionDisplayText(action);
    return name.empty() || text.empty() ? text : name + strings::kMapsTo + text;
}
