#include "KeysMenu.h"

#include "AutoStart.h"
#include "KeyActions.h"
#include "KeyDisplay.h"
#include "LastKeyLine.h"
#include "LircSharing.h"
#include "LoadedMap.h"
#include "MapKeyDialog.h"
#include "OpenHelp.h"
#include "OpenInEditor.h"
#include "SaveSetting.h"
#include "SetupDialog.h"
#include "StateText.h"
#include "StepAside.h"
#include "Strings.h"
#include "Text.h"
#include "TunerSession.h"

namespace {

// The INI file's path in the menu, as wide as its widest item.
const unsigned kMenuPathChars = 40;

AutoStart AutoStartOf(const KeysPaths& paths)
{
    return AutoStart(Widen(strings::kRunValueName),
                     AutoStart::CommandFor(paths.exe, paths.ini.path,
                                           paths.ini.source == SettingsFile::Source::CommandLine));
}

} // namespace

void KeysMenu::Show(const RECT& at)
{
    if (open_)
        return;
    MenuState state = State();
    open_ = true;
    parts_.actions->HoldBackKeystrokes(true);
    MenuCommand command = ShowTrayMenu(parts_.window, at, state);
    parts_.actions->HoldBackKeystrokes(false);
    open_ = false;
    OnCommand(command);
}

MenuState KeysMenu::State() const
{
    const TunerSession& tuner = *parts_.tuner;
    const KeyMap& map = parts_.map->map();
    MenuState state;
    state.mode = tuner.state();
    state.lastKey = parts_.lastKey->text();
    state.status = StatusText(tuner, *parts_.aside, parts_.actions->mode());
    state.keyMode = parts_.actions->mode();
    state.hasProblems = parts_.map->HasProblems();
    state.settings = strings::kMenuSettings + DisplayPath(parts_.paths->ini.path, kMenuPathChars);
    state.autoStart = AutoStartOf(*parts_.paths).IsOn();
    state.showKeys = map.showKeys != 0;
    state.stepAside = map.stepAside != 0;
    state.shareRemote = parts_.network->listening();
    return state;
}

void KeysMenu::OnCommand(MenuCommand command)
{
    const KeyMap& map = parts_.map->map();
    switch (command) {
    case kCmdPause:
        parts_.tuner->Stop();
        break;
    case kCmdResume:
    case kCmdRetry:
        parts_.tuner->Start(TunerSession::Asker::User);
        break;
    case kCmdEdit:
        EditMap();
        break;
    case kCmdReload:
        Reload();
        break;
    case kCmdProblems:
        ShowProblems();
        break;
    case kCmdAutoStart:
        ToggleAutoStart();
        break;
    case kCmdShowKeys:
        if (SaveOption("ShowKeys", !map.showKeys, strings::kShowKeysFailedTitle) &&
            !parts_.map->map().showKeys)
            parts_.display->Hide();
        break;
    case kCmdStepAside:
        if (SaveOption("StepAside", !map.stepAside, strings::kStepAsideFailedTitle))
            parts_.aside->Decide();
        break;
    case kCmdExit:
        DestroyWindow(parts_.window);
        break;
    case kCmdShareRemote:
        parts_.network->Toggle(parts_.tuner->maskCode());
        break;
    case kCmdMapKey:
        parts_.mapKey->Open();
        break;
    case kCmdSetup:
        parts_.setup->Open();
        break;
    case kCmdLeaveMode:
        parts_.actions->LeaveMode();
        break;
    case kCmdHelp: {
        std::string error;
        if (!OpenHelp(parts_.window, parts_.paths->exe, &error))
            parts_.notices->Notify(strings::kHelpFailedTitle, error, Notices::Kind::Warning);
        break;
    }
    case kCmdNone:
        break;
    }
}

void KeysMenu::Reload()
{
    parts_.map->Load(true);
    parts_.aside->Decide(); // StepAside may have changed
    parts_.network->Reload(parts_.tuner->maskCode());
    parts_.tuner->SettingsReloaded();
}

void KeysMenu::EditMap()
{
    std::string error;
    const std::wstring& path = parts_.paths->ini.path;
    if (!OpenInEditor(parts_.window, path, strings::kNewIniText, &error))
        parts_.notices->Notify(strings::kEditFailedTitle, Utf8FromWide(path) + "\n" + error,
                               Notices::Kind::Warning);
}

void KeysMenu::ShowProblems()
{
    std::string text = Utf8FromWide(parts_.paths->ini.path) + "\n\n" + parts_.map->Problems();
    MessageBoxW(parts_.window, Widen(text).c_str(), Widen(strings::kMapProblemsTitle).c_str(),
                MB_OK | MB_ICONWARNING);
}

void KeysMenu::ToggleAutoStart()
{
    AutoStart autoStart = AutoStartOf(*parts_.paths);
    std::string error;
    if (!autoStart.Set(!autoStart.IsOn(), &error))
        parts_.notices->Notify(strings::kAutoStartFailedTitle, error, Notices::Kind::Warning);
}

// The option goes into the settings file and the map is read again.
bool KeysMenu::SaveOption(const char* name, bool on, const char* failedTitle)
{
    std::string error;
    if (!SaveSetting(parts_.paths->ini.path, "Options", name,
                     std::string(name) + (on ? "=1" : "=0"), &error)) {
        parts_.notices->Notify(failedTitle, error, Notices::Kind::Warning);
        return false;
    }
    parts_.map->Load(false);
    return true;
}
