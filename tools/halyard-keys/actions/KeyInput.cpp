#include "KeyInput.h"

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

bool SendKeyStroke(const std::vector<WORD>& keys, std::string* error)
{
    std::vector<INPUT> inputs = KeyStrokeInputs(keys);
    if (inputs.empty())
        return true;
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == inputs.size())
        return true;
    DWORD code = GetLastError();
    // Never leave a modifier down: release what the system did take.
    if (sent > 0 && sent < keys.size()) {
        std::vector<INPUT> releases;
        for (UINT i = sent; i-- > 0;)
            releases.push_back(KeyEvent(keys[i], true));
        SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    }
    *error = SystemText(code);
    if (error->empty())
        *error = "the system refused the keystrokes";
    return false;
}
