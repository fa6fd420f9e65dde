#include "KeyNames.h"

#include "Strings.h"
#include "Text.h"

#include <stdio.h>
#include <string.h>

namespace {

struct Named {
    const char* name;
    WORD vk;
};

// Short names first: KeyName shows the first name a key has.
const Named kShortNames[] = {
    {"Ctrl", VK_CONTROL}, {"Control", VK_CONTROL}, {"Alt", VK_MENU}, {"Shift", VK_SHIFT},
    {"Win", VK_LWIN}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Escape", VK_ESCAPE},
    {"Space", VK_SPACE}, {"Tab", VK_TAB}, {"Backspace", VK_BACK}, {"Up", VK_UP},
    {"Down", VK_DOWN}, {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT}, {"Home", VK_HOME}, {"End", VK_END}, {"Insert", VK_INSERT},
    {"Delete", VK_DELETE}, {"Del", VK_DELETE},
};

#define KEY(vk) {#vk, vk}
// Microsoft's list of virtual-key codes, without the mouse buttons and
// VK_PACKET, which no keyboard event can carry.
const Named kVkNames[] = {
    KEY(VK_CANCEL), KEY(VK_BACK), KEY(VK_TAB), KEY(VK_CLEAR), KEY(VK_RETURN), KEY(VK_SHIFT),
    KEY(VK_CONTROL), KEY(VK_MENU), KEY(VK_PAUSE), KEY(VK_CAPITAL), KEY(VK_KANA),
    KEY(VK_HANGUL), KEY(VK_IME_ON), KEY(VK_JUNJA), KEY(VK_FINAL), KEY(VK_HANJA),
    KEY(VK_KANJI), KEY(VK_IME_OFF), KEY(VK_ESCAPE), KEY(VK_CONVERT), KEY(VK_NONCONVERT),
    KEY(VK_ACCEPT), KEY(VK_MODECHANGE), KEY(VK_SPACE), KEY(VK_PRIOR), KEY(VK_NEXT),
    KEY(VK_END), KEY(VK_HOME), KEY(VK_LEFT), KEY(VK_UP), KEY(VK_RIGHT), KEY(VK_DOWN),
    KEY(VK_SELECT), KEY(VK_PRINT), KEY(VK_EXECUTE), KEY(VK_SNAPSHOT), KEY(VK_INSERT),
    KEY(VK_DELETE), KEY(VK_HELP), KEY(VK_LWIN), KEY(VK_RWIN), KEY(VK_APPS), KEY(VK_SLEEP),
    KEY(VK_NUMPAD0), KEY(VK_NUMPAD1), KEY(VK_NUMPAD2), KEY(VK_NUMPAD3), KEY(VK_NUMPAD4),
    KEY(VK_NUMPAD5), KEY(VK_NUMPAD6), KEY(VK_NUMPAD7), KEY(VK_NUMPAD8), KEY(VK_NUMPAD9),
    KEY(VK_MULTIPLY), KEY(VK_ADD), KEY(VK_SEPARATOR), KEY(VK_SUBTRACT), KEY(VK_DECIMAL),
    KEY(VK_DIVIDE), KEY(VK_NUMLOCK), KEY(VK_SCROLL), KEY(VK_LSHIFT), KEY(VK_RSHIFT),
    KEY(VK_LCONTROL), KEY(VK_RCONTROL), KEY(VK_LMENU), KEY(VK_RMENU), KEY(VK_BROWSER_BACK),
    KEY(VK_BROWSER_FORWARD), KEY(VK_BROWSER_REFRESH), KEY(VK_BROWSER_STOP),
    KEY(VK_BROWSER_SEARCH), KEY(VK_BROWSER_FAVORITES), KEY(VK_BROWSER_HOME),
    KEY(VK_VOLUME_MUTE), KEY(VK_VOLUME_DOWN), KEY(VK_VOLUME_UP), KEY(VK_MEDIA_NEXT_TRACK),
    KEY(VK_MEDIA_PREV_TRACK), KEY(VK_MEDIA_STOP), KEY(VK_MEDIA_PLAY_PAUSE),
    KEY(VK_LAUNCH_MAIL), KEY(VK_LAUNCH_MEDIA_SELECT), KEY(VK_LAUNCH_APP1),
    KEY(VK_LAUNCH_APP2), KEY(VK_OEM_1), KEY(VK_OEM_PLUS), KEY(VK_OEM_COMMA),
    KEY(VK_OEM_MINUS), KEY(VK_OEM_PERIOD), KEY(VK_OEM_2), KEY(VK_OEM_3), KEY(VK_OEM_4),
    KEY(VK_OEM_5), KEY(VK_OEM_6), KEY(VK_OEM_7), KEY(VK_OEM_8), KEY(VK_OEM_102),
    KEY(VK_PROCESSKEY), KEY(VK_ATTN), KEY(VK_CRSEL), KEY(VK_EXSEL), KEY(VK_EREOF),
    KEY(VK_PLAY), KEY(VK_ZOOM), KEY(VK_PA1), KEY(VK_OEM_CLEAR),
};
#undef KEY

bool Find(const Named* table, size_t count, const std::string& name, WORD* vk)
{
    for (size_t i = 0; i < count; ++i) {
        if (_stricmp(table[i].name, name.c_str()) == 0) {
            *vk = table[i].vk;
            return true;
        }
    }
    return false;
}

const char* NameOf(const Named* table, size_t count, WORD vk)
{
    for (size_t i = 0; i < count; ++i) {
        if (table[i].vk == vk)
            return table[i].name;
    }
    return nullptr;
}

// F1 to F24.
bool FunctionKey(const std::string& name, WORD* vk)
{
    if (name.size() < 2 || name.size() > 3 || (name[0] != 'F' && name[0] != 'f'))
        return false;
    unsigned number = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        number = number * 10 + (name[i] - '0');
    }
    if (name[1] == '0' || number < 1 || number > 24)
        return false;
    *vk = static_cast<WORD>(VK_F1 + number - 1);
    return true;
}

} // namespace

bool LookUpKey(const std::string& name, WORD* vk)
{
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            *vk = static_cast<WORD>(c); // the virtual key of a letter or digit is its character
            return true;
        }
        return false;
    }
    // VK_F1 to VK_F24 as well as F1 to F24.
    bool vkPrefix = name.size() > 3 && _strnicmp(name.c_str(), "VK_", 3) == 0;
    return FunctionKey(name, vk) || (vkPrefix && FunctionKey(name.substr(3), vk)) ||
           Find(kShortNames, sizeof(kShortNames) / sizeof(kShortNames[0]), name, vk) ||
           Find(kVkNames, sizeof(kVkNames) / sizeof(kVkNames[0]), name, vk);
}

std::string KeyName(WORD vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= VK_F1 && vk <= VK_F24)
        return "F" + std::to_string(vk - VK_F1 + 1);
    if (const char* name = NameOf(kShortNames, sizeof(kShortNames) / sizeof(kShortNames[0]), vk))
        return name;
    if (const char* name = NameOf(kVkNames, sizeof(kVkNames) / sizeof(kVkNames[0]), vk))
        return name;
    char text[8];
    snprintf(text, sizeof(text), "0x%02X", vk);
    return text;
}

bool IsModifierKey(WORD vk)
{
    switch (vk) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LSHIFT: case VK_RSHIFT:
    case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_RMENU: case VK_LWIN: case VK_RWIN:
        return true;
    }
    return false;
}

std::string KeyDisplayName(WORD vk)
{
    std::string name = KeyName(vk);
    for (const strings::KeyDisplayName& known : strings::kKeyDisplayNames) {
        if (name == known.mapName)
            return known.displayName;
    }
#ifdef _WIN32
    if (name.compare(0, 7, "VK_OEM_") == 0) {
        // What the key types unshifted; the high bit marks a dead key.
        wchar_t typed = static_cast<wchar_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR) & 0xFFFF);
        if (typed > L' ')
            return Utf8FromWide(std::wstring(1, typed));
    }
#endif
    return name.compare(0, 3, "VK_") == 0 ? name.substr(3) : name;
}
