#include "RunningPrograms.h"

#include <windows.h>

#include <string.h>

#include <algorithm>

#include "ForegroundProgram.h"

namespace {

BOOL CALLBACK AddProgram(HWND window, LPARAM list)
{
    // The windows a user sees and could bring to the front.
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        GetWindowTextLengthW(window) == 0 || processId == GetCurrentProcessId())
        return TRUE;
    std::string program = ProgramOfWindow(window);
    if (!program.empty())
        reinterpret_cast<std::vector<std::string>*>(list)->push_back(program);
    return TRUE;
}

bool Before(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) < 0;
}

bool Same(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

std::vector<std::string> ProgramsWithWindows()
{
    std::vector<std::string> programs;
    EnumWindows(AddProgram, reinterpret_cast<LPARAM>(&programs));
    std::sort(programs.begin(), programs.end(), Before);
    programs.erase(std::unique(programs.begin(), programs.end(), Same), programs.end());
    return programs;
}
