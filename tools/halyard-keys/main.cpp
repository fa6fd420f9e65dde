// halyard-keys: turns the keys of the tuner's remote control into keystrokes
// and commands, from an icon in the notification area. --check reports what
// the key map says instead.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "CheckReport.h"
#include "CommandLine.h"
#include "HostPaths.h"
#include "KeyMapFile.h"
#include "KeysApp.h"
#include "SingleInstance.h"
#include "Strings.h"
#include "Text.h"
#include "UserOutput.h"

namespace {

const int kExitProblems = 1;
const int kExitUsage = 2;
// How long a second instance looks for the first one's window, which may
// still be starting.
const DWORD kFindFirstMs = 5000;

int UsageError(const std::string& error)
{
    char text[512];
    snprintf(text, sizeof(text), strings::kUsageError, error.c_str());
    ShowUserOutput(std::string(text) + "\n", strings::kProgram, true);
    return kExitUsage;
}

int Check(const std::string& iniPath)
{
    KeyMap map;
    std::string error;
    if (!LoadKeyMapFile(iniPath, &map, &error)) {
        ShowUserOutput(error + "\n", strings::kProgram, true);
        return kExitProblems;
    }
    ShowUserOutput(CheckReport(Utf8FromAnsi(iniPath), map), strings::kProgram,
                   !map.errors.empty());
    return map.errors.empty() ? 0 : kExitProblems;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(__argc, __argv, &line, &error))
        return UsageError(error);
    if (line.help) {
        ShowUserOutput(strings::kUsage, strings::kProgram, false);
        return 0;
    }

    KeysPaths paths;
    std::string folder = ProgramFolder();
    paths.exe = folder + "halyard-keys.exe";
    char exe[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(nullptr, exe, sizeof(exe));
    if (length && length < sizeof(exe))
        paths.exe.assign(exe, length);
    paths.dll = folder + "Halyard.dll";
    std::string defaultIni = folder + "halyard.ini";
    if (line.iniPath.empty())
        paths.ini = defaultIni;
    else if (!FullPath(line.iniPath, &paths.ini))
        return UsageError("invalid INI path '" + line.iniPath + "'");
    paths.defaultIni = _stricmp(paths.ini.c_str(), defaultIni.c_str()) == 0;

    if (line.check)
        return Check(paths.ini);

    SingleInstance instance;
    if (!instance.Acquire()) {
        SingleInstance::ShowFirst(KeysApp::kWindowClass, KeysApp::ShowMessage(), kFindFirstMs);
        return 0;
    }
    KeysApp app(paths);
    return app.Run();
}
