#include "ShowProgram.h"

#include <vector>

#include "DisplayText.h"
#include "ForegroundProgram.h"
#include "RunCommand.h"
#include "Words.h"

namespace {

struct Search {
    std::string program;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        return TRUE;
    std::string program = ProgramOfWindow(window);
    if (program.empty() || !SameWord(program, search->program.c_str()))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The file name of the program a command line starts: "vlc.exe".
std::string FileNameOf(const std::string& commandLine)
{
    std::string program = ProgramOfCommand(TrimSpace(commandLine));
    std::string name = program.substr(program.find_last_of("\\/") + 1); // npos + 1 is 0
    if (name.find('.') == std::string::npos)
        name += ".exe";
    return name;
}

// Alt down: the system allows this process to set the foreground while it
// is held (LockSetForegroundWindow's remarks). Released by ~HeldAlt on every
// path.
class HeldAlt {
public:
    HeldAlt() { Send(0); }
    ~HeldAlt() { Send(KEYEVENTF_KEYUP); }
    HeldAlt(const HeldAlt&) = delete;
    HeldAlt& operator=(const HeldAlt&) = delete;

private:
    static void Send(DWORD flags)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_MENU;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    }
};

} // namespace

HWND ProgramWindow(const std::string& program)
{
    Search search;
    search.program = program;
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ShowProgram(const std::string& commandLine, std::string* error)
{
    HWND window = ProgramWindow(FileNameOf(commandLine));
    if (window && window == GetForegroundWindow())
        return true;
    HeldAlt alt;
    if (window) {
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        return true;
    }
    // Not running: started, and let take the foreground as it opens.
    unsigned long processId = 0;
    if (!RunCommand(commandLine, error, &processId))
        return false;
    AllowSetForegroundWindow(processId);
    return true;
}
