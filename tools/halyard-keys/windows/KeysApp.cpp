#include "KeysApp.h"

#include <dbt.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "AutoStart.h"
#include "CheckReport.h"
#include "DisplayText.h"
#include "ForegroundProgram.h"
#include "HostMessages.h"
#include "IniFile.h"
#include "KeyDispatcher.h"
#include "KeyMapFile.h"
#include "OpenHelp.h"
#include "LircEvent.h"
#include "OpenInEditor.h"
#include "SetupOffer.h"
#include "Strings.h"
#include "Text.h"
#include "UserOutput.h"
#include "halyard.h"
#include "resource.h"

namespace {

const UINT kTrayMessage = WM_APP + 1;
const UINT kReaderEndedMessage = WM_APP + 2; // wParam: its pid
const UINT_PTR kRecoveryTimer = 1;
const UINT_PTR kKeyTimer = 2; // a held key's release
// Processes are read when they make their first window (a host needs one
// for the keys); then each second while one is starting or reads the
// tuner; and the whole process list now and then, for what no event told.
const UINT_PTR kReaderTimer = 3;
const UINT kReaderRefreshMs = 1000;
const UINT kStartingRefreshMs = 500; // a new program may be loading the library now
const UINT_PTR kProcessListTimer = 4;
const UINT kProcessListMs = 15000;
const UINT kProcessListNoEventsMs = 1000; // where the system gives no WinEvents
// The one window whose WinEvents are heard (a hook's callback has no context).
HWND winEventWindow = nullptr;
const UINT kMaybeLoadedMessage = WM_APP + 3; // wParam: the pid
const UINT kAppearedMessage = WM_APP + 4;    // wParam: the pid
const UINT kSocketMessage = WM_APP + 5; // the LIRC server's sockets
// The category the tuner's driver registers its interface in. Defined from
// its published value, as SDK import libraries differ in carrying it.
const GUID kTunerCategory = {
    0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
// The first lines of a key map's problems that fit in a notification.
const size_t kProblemsInNotification = 2;
// The INI file's path in the menu, as wide as its widest item.
const unsigned kMenuPathChars = 40;

HICON LoadSmallIcon(int id)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}

} // namespace

const char KeysApp::kWindowClass[] = "HalyardKeysWindow";

UINT KeysApp::ShowMessage()
{
    return RegisterWindowMessageA("HalyardKeys.ShowYourself");
}

UINT KeysApp::MapKeyMessage()
{
    return RegisterWindowMessageA("HalyardKeys.MapKey");
}

UINT KeysApp::StateMessage()
{
    return RegisterWindowMessageA("HalyardKeys.State");
}

UINT KeysApp::SetupMessage()
{
    return RegisterWindowMessageA("HalyardKeys.Setup");
}

KeysApp::KeysApp(KeysPaths paths) : paths_(std::move(paths))
{
}

KeysApp::~KeysApp()
{
    Shutdown();
    if (hwnd_)
        DestroyWindow(hwnd_);
    for (HICON icon : {activeIcon_, inactiveIcon_})
        if (icon)
            DestroyIcon(icon);
}

int KeysApp::Run(Open open)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDI_ACTIVE));
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    // A hidden top-level window rather than a message-only one: only
    // top-level windows hear that the taskbar was re-created.
    hwnd_ = CreateWindowExA(0, kWindowClass, strings::kProgram, WS_OVERLAPPED, 0, 0, 0, 0,
                            nullptr, nullptr, wc.hInstance, this);
    if (!hwnd_) {
        ShowUserOutput(strings::kWindowFailed +
                           Utf8FromAnsi(WithSystemText(HRESULT_FROM_WIN32(GetLastError()))),
                       strings::kProgram, true);
        return 1;
    }
    // Started again after an installer closed it to replace its files; not
    // after a crash or a hang, nor at sign-in, where the Run entry starts it.
    std::wstring restartArguments;
    if (paths_.ini.source == SettingsFile::Source::CommandLine)
        restartArguments = L"--ini \"" + paths_.ini.path + L"\"";
    RegisterApplicationRestart(restartArguments.c_str(),
                               RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    showMessage_ = ShowMessage();
    mapKeyMessage_ = MapKeyMessage();
    stateMessage_ = StateMessage();
    setupMessage_ = SetupMessage();
    MapKeyDialog::Host dialogHost;
    dialogHost.settingsPath = paths_.ini.path;
    dialogHost.map = [this]() -> const KeyMap& { return keys_.map(); };
    dialogHost.saved = [this] { LoadMap(false); };
    mapKey_.reset(new MapKeyDialog(dialogHost));
    SetupDialog::Host setupHost;
    setupHost.settingsPath = dialogHost.settingsPath;
    setupHost.map = dialogHost.map;
    setupHost.saved = dialogHost.saved;
    setup_.reset(new SetupDialog(setupHost));
    activeIcon_ = LoadSmallIcon(IDI_ACTIVE);
    inactiveIcon_ = LoadSmallIcon(IDI_INACTIVE);
    tray_.reset(new TrayIcon(hwnd_, kTrayMessage));
    tray_->Add(inactiveIcon_, strings::kTipFailed);

    // Arrival and removal of the tuner's own interface where the system
    // reports them; DBT_DEVNODES_CHANGED comes everywhere regardless.
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kTunerCategory;
    tunerNotify_ = RegisterDeviceNotificationW(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);

    LoadMap(false);
    WatchReaders();
    StartNetwork();
    if (paths_.libraryIni.empty())
        tray_->Notify(strings::kIniNotForLibraryTitle, IniNotForLibraryText(paths_.ini.path),
                      TrayIcon::Kind::Warning);
    Start(Asker::User);
    if (mode_ == MenuState::Mode::Listening)
        OfferSetup();
    if (open == Open::MapKey)
        mapKey_->Open();
    else if (open == Open::Setup)
        setup_->Open();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (mapKey_->PreTranslate(&msg) || setup_->PreTranslate(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Shutdown();
    return 0;
}

LRESULT CALLBACK KeysApp::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<KeysApp*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && self->hwnd_ == hwnd)
        return self->Handle(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT KeysApp::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_REMOTE_CODE:
        if (lParam >= 0 && lParam <= 255)
            OnRemoteKey(static_cast<unsigned>(lParam));
        return 0;
    case kSocketMessage:
        if (lirc_)
            lirc_->OnSocketMessage(wParam, lParam);
        return 0;
    case kTrayMessage: {
        RECT at;
        TrayIcon::Event event = tray_->Decode(wParam, lParam, &at);
        if (event == TrayIcon::Event::Menu)
            ShowMenu(at);
        else if (event == TrayIcon::Event::NotificationClicked && setupOffer_ &&
                 tray_->LastNotification() == setupOffer_)
            setup_->Open();
        return 0;
    }
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            OnPowerOrDeviceNotice(true);
        return TRUE;
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVNODES_CHANGED ||
            ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam &&
             reinterpret_cast<DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype ==
                 DBT_DEVTYP_DEVICEINTERFACE))
            OnPowerOrDeviceNotice(false);
        return TRUE;
    case WM_TIMER:
        if (wParam == kRecoveryTimer)
            OnRecoveryTimer();
        else if (wParam == kKeyTimer)
            OnKeyTimer();
        else if (wParam == kReaderTimer)
            OnReaderEvent(readers_->Refresh(GetTickCount()));
        else if (wParam == kProcessListTimer)
            OnReaderEvent(readers_->Scan(GetTickCount()));
        return 0;
    case kReaderEndedMessage:
        if (readers_)
            OnReaderEvent(readers_->Ended(static_cast<DWORD>(wParam)));
        return 0;
    case kMaybeLoadedMessage:
        if (readers_)
            OnReaderEvent(readers_->Check(static_cast<DWORD>(wParam), GetTickCount()));
        return 0;
    case kAppearedMessage:
        if (readers_)
            OnReaderEvent(readers_->Appeared(static_cast<DWORD>(wParam), GetTickCount()));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // An installer replacing the program's files asks it to close, and
        // starts it again afterwards (RegisterApplicationRestart in Run).
        if (wParam && (lParam & ENDSESSION_CLOSEAPP))
            DestroyWindow(hwnd_);
        else if (wParam)
            Shutdown(); // the session ends: the process goes without another message
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        Shutdown();
        hwnd_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    if (msg == mapKeyMessage_ && msg) {
        mapKey_->Open();
        return 0;
    }
    if (msg == stateMessage_ && msg)
        return static_cast<LRESULT>(mode_);
    if (msg == setupMessage_ && msg) {
        setup_->Open();
        return 0;
    }
    if (msg == showMessage_ && msg) {
        ShowMenu(tray_->Anchor());
        return 0;
    }
    if (msg == taskbarCreated_ && msg) {
        tray_->Add(inactiveIcon_, strings::kTipFailed);
        UpdateIcon();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

void KeysApp::Start(Asker asker)
{
    if (!comReady_) {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr)) {
            Fail(Utf8FromAnsi(ComInitFailureText(hr)));
            return;
        }
        comReady_ = true;
    }
    if (ShouldStandAside()) {
        StandAside();
        return;
    }
    if (!library_.init) {
        std::string error;
        if (library_.Load(paths_.dll, &error) != HalyardLibrary::Status::Ok) {
            Fail(Utf8FromAnsi(error));
            return;
        }
    }
    if (mode_ == MenuState::Mode::Listening)
        library_.uninit(); // a restart: the tuner it holds may be gone
    mode_ = MenuState::Mode::Paused;
    maskCode_ = ReadMaskCode();
    if (lirc_)
        lirc_->SetMaskCode(ParseMaskCode(maskCode_));
    HRESULT hr = library_.init(hwnd_, paths_.libraryIni.empty() ? nullptr
                                                                : paths_.libraryIni.c_str());
    if (hr == E_FAIL) {
        WaitForTuner(asker);
        return;
    }
    if (FAILED(hr)) {
        Fail(Utf8FromAnsi(InitFailureText(hr, paths_.dll)));
        return;
    }
    mode_ = MenuState::Mode::Listening;
    failure_.clear();
    keys_.Reset();
    recovery_.Started();
    ArmRecoveryTimer();
    UpdateIcon();
    if (toldNotListening_) {
        toldNotListening_ = false;
        tray_->Notify(strings::kListeningAgainTitle, strings::kListeningAgain,
                      TrayIcon::Kind::Info);
    }
}

void KeysApp::Stop()
{
    if (mode_ == MenuState::Mode::Listening)
        library_.uninit();
    mode_ = MenuState::Mode::Paused;
    recovery_.Stopped();
    ArmRecoveryTimer();
    UpdateIcon();
}

void KeysApp::Fail(const std::string& reason)
{
    mode_ = MenuState::Mode::Failed;
    failure_ = reason;
    recovery_.Stopped();
    ArmRecoveryTimer();
    UpdateIcon();
    tray_->Notify(strings::kNotListeningTitle, reason + strings::kChooseRetry,
                  TrayIcon::Kind::Error);
    toldNotListening_ = true;
}

// No tuner: the usual state after sleep or a pulled cable until the tuner is
// back, and at sign-in before it is switched on. Only the user's own start
// is answered with a notification; the recovery's attempts keep quiet.
void KeysApp::WaitForTuner(Asker asker)
{
    mode_ = MenuState::Mode::Waiting;
    failure_.clear();
    recovery_.NoTuner(GetTickCount());
    ArmRecoveryTimer();
    UpdateIcon();
    if (asker == Asker::User) {
        tray_->Notify(strings::kWaitingTitle, strings::kWaitingText, TrayIcon::Kind::Warning);
        toldNotListening_ = true;
    }
}

void KeysApp::OnPowerOrDeviceNotice(bool resumed)
{
    if (mode_ == MenuState::Mode::Aside)
        return; // it starts afresh when the other program is gone
    if (resumed)
        recovery_.Resumed(GetTickCount());
    else
        recovery_.DeviceChanged(GetTickCount());
    ArmRecoveryTimer();
}

void KeysApp::OnRecoveryTimer()
{
    KillTimer(hwnd_, kRecoveryTimer);
    if (recovery_.Due(GetTickCount()) != TunerRecovery::Attempt::None)
        Start(Asker::Recovery); // restarts when the library runs
    ArmRecoveryTimer();
}

void KeysApp::ArmRecoveryTimer()
{
    DWORD wait = recovery_.WaitMs(GetTickCount());
    if (wait == INFINITE)
        KillTimer(hwnd_, kRecoveryTimer);
    else
        SetTimer(hwnd_, kRecoveryTimer, wait ? wait : USER_TIMER_MINIMUM, nullptr);
}

void KeysApp::Shutdown()
{
    for (HWINEVENTHOOK& hook : winEvents_)
        if (hook) {
            UnhookWinEvent(hook);
            hook = nullptr;
        }
    winEventWindow = nullptr;
    readers_.reset();
    processes_.reset();
    if (tunerNotify_) {
        UnregisterDeviceNotification(tunerNotify_);
        tunerNotify_ = nullptr;
    }
    recovery_.Stopped();
    lirc_.reset();
    if (mode_ == MenuState::Mode::Listening) {
        library_.uninit();
        mode_ = MenuState::Mode::Paused;
    }
    library_.Unload();
    if (tray_)
        tray_->Remove();
    if (comReady_) {
        CoUninitialize();
        comReady_ = false;
    }
}

std::string KeysApp::ReadMaskCode() const
{
    wchar_t value[64];
    GetPrivateProfileStringW(L"Custom", L"MaskCode", L"0", value, ARRAYSIZE(value),
                             paths_.ini.path.c_str());
    return Utf8FromWide(value);
}

void KeysApp::LoadMap(bool reloading)
{
    KeyMap map;
    std::string error;
    if (!LoadKeyMapFile(paths_.ini.path, &map, &error)) {
        mapError_ = error;
        tray_->Notify(strings::kMapNotLoadedTitle, error, TrayIcon::Kind::Warning);
    } else if (!map.errors.empty()) {
        mapError_.clear();
        std::string text = Summary(map) + "\n";
        for (size_t i = 0; i < map.errors.size() && i < kProblemsInNotification; ++i)
            text += strings::kLine + std::to_string(map.errors[i].line) + ": " +
                    map.errors[i].message + "\n";
        tray_->Notify(strings::kMapProblemsTitle, text + strings::kMapProblemsMore,
                      TrayIcon::Kind::Warning);
    } else {
        mapError_.clear();
        // A new user hears of the setup instead, once.
        if (!map.hasKeysSection && (SetupOffered() || !map.names.empty()))
            tray_->Notify(strings::kNoKeysSectionTitle, strings::kNoKeysSection,
                          TrayIcon::Kind::Info);
        else if (reloading)
            tray_->Notify(strings::kMapReloadedTitle, Summary(map), TrayIcon::Kind::Info);
    }
    keys_.SetMap(std::move(map));
}

void KeysApp::OnRemoteKey(unsigned code)
{
    if (mode_ != MenuState::Mode::Listening)
        return; // posted before the library stopped
    ShareKey(code);
    if (setup_->IsOpen()) {
        // The button being named: nothing is typed or started meanwhile.
        setup_->Heard(code);
        keys_.Reset();
        return;
    }
    if (mapKey_->IsOpen()) {
        // The key to map, not one to act on: nothing is typed or started
        // while the dialog is open.
        mapKey_->SelectKey(code);
        keys_.Reset();
        return;
    }
    due_.clear();
    keys_.Arrive(code, GetTickCount(), ForegroundProgram, &due_);
    Perform();
    OfferSetup();
}

bool KeysApp::MapIsEmpty() const
{
    return mapError_.empty() && keys_.map().names.empty() && keys_.map().MappingCount() == 0 &&
           keys_.map().errors.empty();
}

// Nothing named and nothing mapped: the remote does nothing yet. The first
// start that listens, or the first key heard, says once how to change that.
void KeysApp::OfferSetup()
{
    if (offered_ || !MapIsEmpty() || setup_->IsOpen())
        return;
    // Read once: the registry is not asked again on every key.
    offered_ = SetupOffered();
    if (offered_)
        return;
    setupOffer_ = tray_->Notify(strings::kSetupOfferTitle, strings::kSetupOffer,
                                TrayIcon::Kind::Info);
    if (setupOffer_) {
        RememberSetupOffered();
        offered_ = true;
    }
}

void KeysApp::OnKeyTimer()
{
    due_.clear();
    keys_.Tick(GetTickCount(), &due_);
    Perform();
}

void KeysApp::Perform()
{
    for (const DueAction& due : due_) {
        // Keystrokes now would land in the open menu, not in the user's program.
        if (menuOpen_ && due.action->kind == KeyAction::Kind::Keys)
            continue;
        std::string title, text;
        if (!PerformAction(*due.action, due.times, &title, &text))
            tray_->Notify(title, text, TrayIcon::Kind::Warning);
        else if (keys_.map().showKeys && due.action->kind != KeyAction::Kind::Nothing)
            display_.Show(NamedDisplayText(keys_.map().NameOf(keys_.code()), *due.action));
    }
    // A key with a long action waits for its release: the timer says when.
    DWORD wait = keys_.WaitMs(GetTickCount());
    if (wait == INFINITE)
        KillTimer(hwnd_, kKeyTimer);
    else
        SetTimer(hwnd_, kKeyTimer, wait ? wait : USER_TIMER_MINIMUM, nullptr);
}

void KeysApp::ShowMenu(const RECT& at)
{
    if (menuOpen_)
        return;
    MenuState state;
    state.mode = mode_;
    state.lastKey = keys_.lastKey();
    state.status = mode_ == MenuState::Mode::Listening ? strings::kMenuListening
                   : mode_ == MenuState::Mode::Paused  ? strings::kMenuPaused
                   : mode_ == MenuState::Mode::Waiting ? strings::kMenuWaiting
                                                       : strings::kMenuFailedPrefix + failure_;
    state.hasProblems = !keys_.map().errors.empty() || !mapError_.empty();
    state.settings = strings::kMenuSettings + DisplayPath(paths_.ini.path, kMenuPathChars);
    state.autoStart = AutoStartOfThisCopy().IsOn();
    state.showKeys = keys_.map().showKeys != 0;
    state.stepAside = keys_.map().stepAside != 0;
    if (mode_ == MenuState::Mode::Aside)
        state.status = ReadersText(strings::kMenuAside);
    else if (mode_ == MenuState::Mode::Listening && !readers_->readers().empty())
        state.status = ReadersText(strings::kMenuShared);
    state.shareRemote = lirc_ && lirc_->listening();
    menuOpen_ = true;
    MenuCommand command = ShowTrayMenu(hwnd_, at, state);
    menuOpen_ = false;
    OnCommand(command);
}

void KeysApp::OnCommand(MenuCommand command)
{
    switch (command) {
    case kCmdPause:
        Stop();
        break;
    case kCmdResume:
    case kCmdRetry:
        Start(Asker::User);
        break;
    case kCmdEdit:
        EditMap();
        break;
    case kCmdReload:
        LoadMap(true);
        OnReadersChanged(); // StepAside may have changed
        ReloadNetwork();
        // The library reads MaskCode when it starts.
        if (mode_ == MenuState::Mode::Listening && ReadMaskCode() != maskCode_)
            Start(Asker::User);
        break;
    case kCmdProblems:
        ShowProblems();
        break;
    case kCmdAutoStart:
        ToggleAutoStart();
        break;
    case kCmdShowKeys:
        ToggleShowKeys();
        break;
    case kCmdStepAside:
        ToggleStepAside();
        break;
    case kCmdExit:
        DestroyWindow(hwnd_);
        break;
    case kCmdShareRemote:
        ToggleShareRemote();
        break;
    case kCmdMapKey:
        mapKey_->Open();
        break;
    case kCmdSetup:
        setup_->Open();
        break;
    case kCmdHelp: {
        std::string error;
        if (!OpenHelp(hwnd_, paths_.exe, &error))
            tray_->Notify(strings::kHelpFailedTitle, error, TrayIcon::Kind::Warning);
        break;
    }
    case kCmdNone:
        break;
    }
}

void KeysApp::EditMap()
{
    std::string error;
    if (!OpenInEditor(hwnd_, paths_.ini.path, strings::kNewIniText, &error))
        tray_->Notify(strings::kEditFailedTitle, Utf8FromWide(paths_.ini.path) + "\n" + error,
                      TrayIcon::Kind::Warning);
}

void KeysApp::ShowProblems()
{
    std::string text = Utf8FromWide(paths_.ini.path) + "\n\n" +
                       (mapError_.empty() ? ErrorLines(keys_.map()) : mapError_);
    MessageBoxW(hwnd_, Widen(text).c_str(), Widen(strings::kMapProblemsTitle).c_str(),
                MB_OK | MB_ICONWARNING);
}

void KeysApp::ToggleAutoStart()
{
    AutoStart autoStart = AutoStartOfThisCopy();
    std::string error;
    if (!autoStart.Set(!autoStart.IsOn(), &error))
        tray_->Notify(strings::kAutoStartFailedTitle, error, TrayIcon::Kind::Warning);
}

AutoStart KeysApp::AutoStartOfThisCopy() const
{
    return AutoStart(Widen(strings::kRunValueName),
                     AutoStart::CommandFor(paths_.exe, paths_.ini.path,
                                           paths_.ini.source == SettingsFile::Source::CommandLine));
}

// An option of the menu goes back into the settings file, one line
// changed, so that the next start does as this one does; the map is read
// again.
bool KeysApp::SaveOption(const char* name, bool on, const char* failedTitle)
{
    std::string error;
    IniFile file(paths_.ini.path);
    if (!file.Load(&error) ||
        !file.Save(SetLine("Options", MatchName(name), std::string(name) + (on ? "=1" : "=0")),
                   &error)) {
        tray_->Notify(failedTitle, error, TrayIcon::Kind::Warning);
        return false;
    }
    LoadMap(false);
    return true;
}

void KeysApp::ToggleShowKeys()
{
    if (SaveOption("ShowKeys", !keys_.map().showKeys, strings::kShowKeysFailedTitle) &&
        !keys_.map().showKeys)
        display_.Hide();
}

void KeysApp::ToggleStepAside()
{
    if (SaveOption("StepAside", !keys_.map().stepAside, strings::kStepAsideFailedTitle))
        OnReadersChanged();
}

void KeysApp::WatchReaders()
{
    processes_.reset(new SystemProcesses(hwnd_, kReaderEndedMessage));
    readers_.reset(new ReaderWatch(processes_.get(), CurrentReaderSelf()));
    // A new program is read when it makes its first window. One may load
    // the library long after it started, from a menu or a dialog of its
    // own: it is read again when it comes to the front and when one of its
    // menus or dialogs closes.
    winEventWindow = hwnd_;
    winEvents_[0] = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWinEvent,
                                    0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    winEvents_[1] = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_DIALOGEND, nullptr,
                                    OnWinEvent, 0, 0,
                                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    OnReaderEvent(readers_->Scan(GetTickCount()));
    SetTimer(hwnd_, kProcessListTimer, winEvents_[0] ? kProcessListMs : kProcessListNoEventsMs,
             nullptr);
}

void CALLBACK KeysApp::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object,
                                  LONG child, DWORD, DWORD)
{
    UINT message = 0;
    if (event == EVENT_OBJECT_CREATE && object == OBJID_WINDOW && child == CHILDID_SELF)
        message = kAppearedMessage;
    else if (event == EVENT_SYSTEM_FOREGROUND || event == EVENT_SYSTEM_MENUEND ||
             event == EVENT_SYSTEM_MENUPOPUPEND || event == EVENT_SYSTEM_DIALOGEND)
        message = kMaybeLoadedMessage;
    DWORD pid = 0;
    if (!message || !window || !winEventWindow || !GetWindowThreadProcessId(window, &pid))
        return;
    PostMessageW(winEventWindow, message, pid, 0);
}

// After any news of the processes: the state, and whether the readers and
// the starting programs want reading each second.
void KeysApp::OnReaderEvent(bool changed)
{
    if (changed)
        OnReadersChanged();
    // Armed anew only when its period changes: a stream of events must not
    // keep putting the next reading off.
    UINT period = !readers_->Busy()     ? 0
                  : readers_->Starting() ? kStartingRefreshMs
                                         : kReaderRefreshMs;
    if (period == refreshMs_)
        return;
    if (period)
        SetTimer(hwnd_, kReaderTimer, period, nullptr);
    else
        KillTimer(hwnd_, kReaderTimer);
    refreshMs_ = period;
}

bool KeysApp::ShouldStandAside() const
{
    return readers_ && keys_.map().stepAside && !readers_->readers().empty();
}

void KeysApp::OnReadersChanged()
{
    bool aside = ShouldStandAside();
    if (aside && (mode_ == MenuState::Mode::Listening || mode_ == MenuState::Mode::Waiting))
        StandAside();
    else if (!aside && mode_ == MenuState::Mode::Aside)
        Start(Asker::Recovery); // the other program is gone: the next key is ours
    else
        UpdateIcon(); // which programs it names
}

// Stops reading and lets the library go, so that the other program gets
// every key and no tool takes halyard-keys for a reader.
void KeysApp::StandAside()
{
    if (mode_ == MenuState::Mode::Listening)
        library_.uninit();
    library_.Unload();
    mode_ = MenuState::Mode::Aside;
    failure_.clear();
    keys_.Reset();
    KillTimer(hwnd_, kKeyTimer);
    recovery_.Stopped();
    ArmRecoveryTimer();
    UpdateIcon();
}

std::string KeysApp::ReadersText(const char* format) const
{
    std::string readers = DescribeReaders(readers_->readers());
    std::vector<char> text(strlen(format) + readers.size() + 1);
    snprintf(text.data(), text.size(), format, readers.c_str());
    return text.data();
}

// The icon, its tip, and the dialogs that wait for a remote key show the state.
void KeysApp::UpdateIcon()
{
    bool listening = mode_ == MenuState::Mode::Listening;
    std::string tip = listening                            ? strings::kTipListening
                      : mode_ == MenuState::Mode::Paused  ? strings::kTipPaused
                      : mode_ == MenuState::Mode::Waiting ? strings::kTipWaiting
                                                          : strings::kTipFailed;
    if (mode_ == MenuState::Mode::Aside)
        tip = ReadersText(strings::kTipAside);
    else if (listening && readers_ && !readers_->readers().empty())
        tip = ReadersText(strings::kTipShared);
    tray_->Update(listening ? activeIcon_ : inactiveIcon_, tip);
    std::wstring unheard = mode_ == MenuState::Mode::Aside
                               ? Widen(DescribeReaders(readers_->readers()))
                               : std::wstring();
    if (mapKey_)
        mapKey_->SetUnheard(unheard);
    if (setup_)
        setup_->SetUnheard(unheard);
}

// The LIRC server: off unless [Network] Listen= turns it on. A port taken by
// another program or a refused Listen= is told once; the keys work on.
void KeysApp::StartNetwork()
{
    network_ = ParseNetworkSettings(ReadNetworkValues(paths_.ini.path));
    if (!lirc_)
        lirc_.reset(new LircServer(hwnd_, kSocketMessage,
                                   [this](unsigned code) { return ButtonName(code); }));
    lirc_->SetMaskCode(ParseMaskCode(maskCode_.empty() ? ReadMaskCode() : maskCode_));
    std::string error;
    LircServer::Result result = lirc_->Start(network_, &error);
    NotifyNetworkProblems(
        result == LircServer::Result::InUse || result == LircServer::Result::Failed ? error : "");
}

// [Network]'s bad lines and why the server could not start, if anything.
void KeysApp::NotifyNetworkProblems(const std::string& startError)
{
    std::string text;
    for (const std::string& line : network_.errors)
        text += line + "\n";
    text += startError;
    if (!text.empty())
        tray_->Notify(lirc_ && lirc_->listening() ? strings::kNetProblemsTitle
                                                  : strings::kNetNotSharedTitle,
                      text, TrayIcon::Kind::Warning);
}

// Settings read again: with the same Listen=, the clients stay and hear
// SIGHUP, as lircd's do; another Listen= starts the server anew.
void KeysApp::ReloadNetwork()
{
    NetworkSettings settings = ParseNetworkSettings(ReadNetworkValues(paths_.ini.path));
    if (lirc_ && lirc_->listening() && settings.SameListener(network_)) {
        network_ = settings;
        lirc_->Reload(network_);
        NotifyNetworkProblems("");
        return;
    }
    StartNetwork();
}

// Every frame the library reports goes to the clients, mapped or not, also
// while Map a key... is open: they listen, they do not act here.
void KeysApp::ShareKey(unsigned code)
{
    repeats_.SetGuardMs(keys_.map().repeatGuardMs);
    unsigned repeat = repeats_.Frame(code, GetTickCount());
    if (lirc_ && lirc_->listening())
        lirc_->Key(code, repeat);
}

// The button's name in [Names]; empty for an unnamed key, which the server
// sends by its fallback name.
std::string KeysApp::ButtonName(unsigned code) const
{
    return keys_.map().NameOf(code);
}

// As Show keys on screen: one line of the settings file changes.
void KeysApp::ToggleShareRemote()
{
    bool share = !(lirc_ && lirc_->listening());
    std::string error;
    IniFile file(paths_.ini.path);
    if (!file.Load(&error) ||
        !file.Save(SetLine("Network", MatchName("Listen"), share ? kShareRemoteLine : "Listen="),
                   &error)) {
        tray_->Notify(strings::kNetShareFailedTitle, error, TrayIcon::Kind::Warning);
        return;
    }
    StartNetwork();
}
