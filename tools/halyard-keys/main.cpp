// halyard-keys: turns the keys of the tuner's remote control into keystrokes
// and commands, from an icon in the notification area. --check reports what
// the key map says instead.

#include <windows.h>

#include <stdio.h>

#include "CheckReport.h"
#include "CommandLine.h"
#include "KeyMapFile.h"
#include "KeysApp.h"
#include "KeysPaths.h"
#include "NetworkSettings.h"
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

int Check(const KeysPaths& paths)
{
    KeyMap map;
    std::string error;
    if (!LoadKeyMapFile(paths.ini.path, &map, &error)) {
        ShowUserOutput(error + "\n", strings::kProgram, true);
        return kExitProblems;
    }
    std::string report = CheckReport(Utf8FromWide(paths.ini.path), map);
    if (paths.libraryIni.empty())
        report += IniNotForLibraryText(paths.ini.path) + "\n";
    NetworkSettings network = ParseNetworkSettings(ReadNetworkValues(paths.ini.path));
    report += NetworkReport(network);
    bool problems = !map.errors.empty() || !network.errors.empty();
    ShowUserOutput(report, strings::kProgram, problems);
    return problems ? kExitProblems : 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Utf8Argv arguments;
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(arguments.argc(), arguments.argv(), &line, &error))
        return UsageError(error);
    if (line.help) {
        ShowUserOutput(strings::kUsage, strings::kProgram, false);
        return 0;
    }

    KeysPaths paths;
    if (!FindKeysPaths(line.iniPath, &paths, &error))
        return UsageError(error);
    if (line.check)
        return Check(paths);

    SingleInstance instance;
    if (!instance.Acquire()) {
        SingleInstance::ShowFirst(KeysApp::kWindowClass,
                                  line.mapKey  ? KeysApp::MapKeyMessage()
                                  : line.setup ? KeysApp::SetupMessage()
                                               : KeysApp::ShowMessage(),
                                  kFindFirstMs);
        return 0;
    }
    KeysApp app(paths);
    return app.Run(line.mapKey ? KeysApp::Open::MapKey
                   : line.setup ? KeysApp::Open::Setup
                                : KeysApp::Open::Nothing);
}
