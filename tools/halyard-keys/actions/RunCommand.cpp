#include "RunCommand.h"

#include <windows.h>

#include <vector>

#include "Text.h"

bool RunCommand(const std::string& commandLine, std::string* error, unsigned long* processId)
{
    std::wstring command = Widen(commandLine);
    DWORD length = ExpandEnvironmentStringsW(command.c_str(), nullptr, 0);
    std::vector<wchar_t> buffer(length ? length : 1);
    if (!length || ExpandEnvironmentStringsW(command.c_str(), buffer.data(), length) > length)
        buffer.assign(command.c_str(), command.c_str() + command.size() + 1);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // CreateProcessW may write into the command line: it gets its own copy.
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                        &process)) {
        *error = SystemText(GetLastError());
        return false;
    }
    if (processId)
        *processId = process.dwProcessId;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
