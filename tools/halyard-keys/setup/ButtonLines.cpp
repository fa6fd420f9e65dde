#include "ButtonLines.h"

#include <stdio.h>

#include "CommonButtonActions.h"
#include "KeyMap.h"
#include "MappingForm.h"
#include "TextEncoding.h"
#include "Text.h"

namespace {

const char kNames[] = "Names";
const char kKeys[] = "Keys";

std::string NameLine(unsigned code, const std::string& name)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%02X = ", code);
    return text + name;
}

IniText::KeyMatch Nothing()
{
    return [](const std::string&) { return false; };
}

// The ready [Mode:Mouse], where the remote has a button free to enter it
// and the file has no mouse mode yet: its lines for the named buttons, and
// that button's line in [Keys].
bool AddMouseMode(IniText* edited, size_t* added, std::string* error)
{
    KeyMap map = ParseKeyMap(DecodeTextFile(edited->Bytes()));
    if (map.HasMode(kMouseMode))
        return true;
    const KeySection* keys = map.Section("");
    size_t count = 0;
    const char* const* toggles = MouseModeToggles(&count);
    std::string toggle;
    for (size_t i = 0; i < count && toggle.empty(); ++i) {
        unsigned code;
        if (map.CodeOf(toggles[i], &code) && !(keys && keys->Find(code)))
            toggle = toggles[i];
    }
    if (toggle.empty())
        return true;
    std::string section = std::string("Mode:") + kMouseMode;
    for (const ButtonName& name : map.names) {
        std::string action = CommonMouseAction(name.name, toggle);
        if (action.empty())
            continue;
        if (!edited->Set(section, Nothing(), name.name + " = " + action, error))
            return false;
        ++*added;
    }
    if (!edited->Set(kKeys, Nothing(), toggle + " = mode: " + kMouseMode, error))
        return false;
    ++*added;
    return true;
}

} // namespace

IniText::KeyMatch MatchButton(unsigned code, const std::string& name)
{
    IniText::KeyMatch byCode = MatchKeyCode(code);
    return [byCode, name](const std::string& key) {
        return byCode(key) || (!name.empty() && _stricmp(key.c_str(), name.c_str()) == 0);
    };
}

std::string ButtonLine(unsigned code, const std::string& name, const std::string& value)
{
    return name.empty() ? MappingLine(code, value) : name + " = " + value;
}

bool AddButtonLines(IniText* text, const std::vector<NamedButton>& buttons, bool commonActions,
                    size_t* added, std::string* error)
{
    IniText edited = *text;
    *added = 0;
    for (const NamedButton& button : buttons) {
        KeyMap map = ParseKeyMap(DecodeTextFile(edited.Bytes()));
        if (map.NameOf(button.code) == button.name)
            continue;
        // Every line that gives the name to another code goes: the first
        // counts, and a second one, already a bad line, would take over from
        // the first and leave the new line the bad one.
        unsigned other;
        while (map.CodeOf(button.name, &other) && other != button.code &&
               edited.Remove(kNames, MatchKeyCode(other)))
            map = ParseKeyMap(DecodeTextFile(edited.Bytes()));
        bool renamed = !map.NameOf(button.code).empty();
        // In place of the code's old name, where the user gave it a new one.
        if (!edited.Set(kNames, MatchKeyCode(button.code), NameLine(button.code, button.name),
                        error))
            return false;
        *added += renamed ? 0 : 1;
    }
    if (commonActions) {
        KeyMap map = ParseKeyMap(DecodeTextFile(edited.Bytes()));
        for (const ButtonName& name : map.names) {
            const KeySection* keys = map.Section("");
            std::string action = CommonButtonAction(name.name);
            if (action.empty() || (keys && keys->Find(name.code)))
                continue;
            if (!edited.Set(kKeys, Nothing(), name.name + " = " + action, error))
                return false;
            ++*added;
        }
        if (!AddMouseMode(&edited, added, error))
            return false;
    }
    *text = edited;
    return true;
}
