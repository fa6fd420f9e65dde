#include "KeyInput.h"

#include "MouseInputs.h"
#include "Text.h"

namespace {

// Keys a keyboard sends with the E0 prefix: without the flag, the arrows and
// their block arrive as the number pad's keys.
bool IsExtendedKey(WORD vk)
{
    switch (vk) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_DIVIDE:
    case VK_NUMLOCK: case VK_SNAPSHOT: case VK_CANCEL: case VK_RCONTROL: case VK_RMENU:
    case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    }
    // The browser, volume, media and launch keys.
    return vk >= VK_BROWSER_BACK && vk <= VK_LAUNCH_APP2;
}

INPUT KeyEvent(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT UnitEvent(wchar_t unit, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(unit);
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

} // namespace

std::vector<INPUT> KeyStrokeInputs(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : keys)
        inputs.push_back(KeyEvent(vk, false));
    for (auto vk = keys.rbegin(); vk != keys.rend(); ++vk)
        inputs.push_back(KeyEvent(*vk, true));
    return inputs;
}

std::vector<INPUT> TextInputs(const std::string& utf8)
{
    std::vector<INPUT> inputs;
    std::wstring text = Widen(utf8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        if (text[i] == L'\r' || text[i] == L'\n') {
            inputs.push_back(KeyEvent(VK_RETURN, false));
            inputs.push_back(KeyEvent(VK_RETURN, true));
            continue;
        }
        // A surrogate pair goes as two units, each down and up, high first.
        inputs.push_back(UnitEvent(text[i], false));
        inputs.push_back(UnitEvent(text[i], true));
    }
    return inputs;
}

bool SendInputs(const std::vector<INPUT>& inputs, std::string* error)
{
    if (inputs.empty())
        return true;
    UINT sent = SendInput(static_cast<UINT>(inputs.size()),
                          const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
    if (sent == inputs.size())
        return true;
    DWORD code = GetLastError();
    // Never leave a key down: release what the system took of the presses
    // and not of their releases.
    std::vector<INPUT> releases;
    for (UINT i = sent; i-- > 0;) {
        if (inputs[i].type == INPUT_MOUSE) {
            DWORD up = ButtonUpFlag(inputs[i].mi.dwFlags);
            bool releasedAlready = false;
            for (UINT j = i + 1; j < sent && !releasedAlready; ++j)
                releasedAlready = inputs[j].type == INPUT_MOUSE && (inputs[j].mi.dwFlags & up);
            if (up && !releasedAlready)
                releases.push_back(MouseEvent(up));
            continue;
        }
        const KEYBDINPUT& key = inputs[i].ki;
        if (inputs[i].type != INPUT_KEYBOARD || (key.dwFlags & KEYEVENTF_KEYUP))
            continue;
        bool releasedAlready = false;
        for (UINT j = i + 1; j < sent && !releasedAlready; ++j)
            releasedAlready = inputs[j].type == INPUT_KEYBOARD &&
                              (inputs[j].ki.dwFlags & KEYEVENTF_KEYUP) &&
                              inputs[j].ki.wVk == key.wVk && inputs[j].ki.wScan == key.wScan;
        if (!releasedAlready) {
            INPUT up = inputs[i];
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            releases.push_back(up);
        }
    }
    if (!releases.empty())
        SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    *error = SystemText(code);
    if (error->empty())
        *error = "the system refused the keystrokes";
    return false;
}

void ReleaseIfDown(const std::vector<WORD>& keys)
{
    std::vector<INPUT> releases;
    for (WORD vk : keys) {
        if (!(GetAsyncKeyState(vk) & 0x8000))
            continue;
        if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON)
            releases.push_back(MouseEvent(vk == VK_LBUTTON   ? MOUSEEVENTF_LEFTUP
                                          : vk == VK_RBUTTON ? MOUSEEVENTF_RIGHTUP
                                                             : MOUSEEVENTF_MIDDLEUP));
        else
            releases.push_back(KeyEvent(vk, true));
    }
    if (!releases.empty())
        SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
}
