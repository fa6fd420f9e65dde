#include "KeysApp.h"

#include "ForegroundProgram.h"
#include "ForegroundRights.h"
#include "KeyActions.h"
#include "KeyDisplay.h"
#include "KeyPath.h"
#include "KeySender.h"
#include "KeysMenu.h"
#include "LastKeyLine.h"
#include "LircSharing.h"
#include "LoadedMap.h"
#include "MapKeyDialog.h"
#include "PointerMotion.h"
#include "SetupDialog.h"
#include "SetupOffer.h"
#include "StateText.h"
#include "StepAside.h"
#include "Strings.h"
#include "HostMessages.h"
#include "Text.h"
#include "TrayIcon.h"
#include "TunerSession.h"
#include "UserOutput.h"
#include "halyard.h"
#include "resource.h"

namespace {

// The window's own messages and timers, each the business of one part.
const UINT kTrayMessage = WM_APP + 1;
const StepAside::Ids kAsideIds = {WM_APP + 2, WM_APP + 3, WM_APP + 4, 3, 4};
const UINT kSocketMessage = WM_APP + 5; // the LIRC server's sockets
const UINT_PTR kRecoveryTimer = 1;
const UINT_PTR kKeyTimer = 2; // the key path's: a held key's release
const UINT_PTR kSendTimer = 5; // the key sender's: a wait in a sequence

HICON LoadSmallIcon(int id)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}

} // namespace

// The parts, in the order they are made (and unmade in reverse), each given
// what it needs of those before it.
struct KeysApp::Parts {
    Parts(KeysApp* app, HWND window, const KeysPaths& paths)
        : tray(window, kTrayMessage),
          map(paths.ini.path, &tray, SetupOffered),
          path(window, kKeyTimer),
          tuner(window, kRecoveryTimer, paths, &tray,
                {[this] { return aside.ShouldStandAside(); }, [app] { app->OnTunerChanged(); },
                 [this](const std::string& maskCode) { network.SetMaskCode(maskCode); }}),
          aside(window, kAsideIds, &tuner, [this] { return map.map().stepAside != 0; },
                [app] { app->UpdateIcon(); }),
          network(window, kSocketMessage, paths.ini.path, &tray,
                  [this](unsigned code) { return map.map().NameOf(code); }),
          sender(window, kSendTimer, &sink, &tray),
          pointer(&cursor),
          rights(&tray),
          actions(map.map(), &sender, ForegroundProgram, [app] { app->UpdateIcon(); }, &pointer,
                  [this] { return rights.Unreachable(); }),
          lastKey(map.map()),
          mapKey(DialogHost(paths)),
          setup(DialogHost(paths)),
          offer(map, &tray, [this] { return setup.IsOpen(); }),
          shown([this](const KeyEvent&, KeyHandling* handling) {
              if ((map.map().showKeys || handling->showAlways) && !handling->shown.empty())
                  display.Show(handling->shown);
          }),
          menu({window, &paths, &tray, &tuner, &aside, &map, &network, &actions, &lastKey,
                &display, &mapKey, &setup})
    {
        // The key's one path, in the order the stages take it (KeyPath.h).
        path.Listen(KeyPath::Stage::Share, &network);
        path.Listen(KeyPath::Stage::Capture, &setup);
        path.Listen(KeyPath::Stage::Capture, &mapKey);
        path.Listen(KeyPath::Stage::Act, &actions);
        path.Listen(KeyPath::Stage::Show, &shown);
        path.Listen(KeyPath::Stage::Show, &lastKey);
        path.Listen(KeyPath::Stage::Show, &offer);
    }

    // The dialogs see the map as it is now, and read it again once they saved.
    CaptureDialog::Host DialogHost(const KeysPaths& paths)
    {
        return {paths.ini.path, [this]() -> const KeyMap& { return map.map(); },
                [this] { map.Load(false); }};
    }

    TrayIcon tray;
    LoadedMap map;
    SystemInputSink sink;
    KeyPath path;
    TunerSession tuner;
    StepAside aside;
    LircSharing network;
    KeySender sender;
    SystemPointerOutput cursor;
    PointerMotion pointer; // its own thread: a hundred steps a second while a key moves it
    ForegroundRights rights;
    KeyActions actions;
    LastKeyLine lastKey;
    KeyDisplay display; // ShowKeys: made on its first use
    MapKeyDialog mapKey;
    SetupDialog setup;
    SetupOffer offer;
    FunctionListener shown; // the on-screen display of what a key did
    KeysMenu menu;
};

const char KeysApp::kWindowClass[] = "HalyardKeysWindow";

UINT KeysApp::ShowMessage() { return RegisterWindowMessageA("HalyardKeys.ShowYourself"); }
UINT KeysApp::MapKeyMessage() { return RegisterWindowMessageA("HalyardKeys.MapKey"); }
UINT KeysApp::StateMessage() { return RegisterWindowMessageA("HalyardKeys.State"); }
UINT KeysApp::SetupMessage() { return RegisterWindowMessageA("HalyardKeys.Setup"); }

KeysApp::KeysApp(KeysPaths paths) : paths_(std::move(paths))
{
}

KeysApp::~KeysApp()
{
    Shutdown();
    if (hwnd_)
        DestroyWindow(hwnd_);
    parts_.reset();
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
    activeIcon_ = LoadSmallIcon(IDI_ACTIVE);
    inactiveIcon_ = LoadSmallIcon(IDI_INACTIVE);

    parts_.reset(new Parts(this, hwnd_, paths_));
    Parts& p = *parts_;
    p.tray.Add(inactiveIcon_, strings::kTipFailed);
    p.map.OnChange([this] { OnMapChanged(); });
    p.map.Load(false);
    p.aside.Watch();
    p.network.Start(p.tuner.maskCode());
    if (paths_.libraryIni.empty())
        p.tray.Notify(strings::kIniNotForLibraryTitle, IniNotForLibraryText(paths_.ini.path),
                      Notices::Kind::Warning);
    p.tuner.Start(TunerSession::Asker::User);
    if (p.tuner.listening())
        p.offer.Offer();
    if (open == Open::MapKey)
        p.mapKey.Open();
    else if (open == Open::Setup)
        p.setup.Open();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (p.mapKey.PreTranslate(&msg) || p.setup.PreTranslate(&msg))
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
    if (self && self->hwnd_ == hwnd && self->parts_)
        return self->Handle(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT KeysApp::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    Parts& p = *parts_;
    switch (msg) {
    case WM_REMOTE_CODE:
        // One posted before the library stopped is not a key.
        if (p.tuner.listening() && lParam >= 0 && lParam <= 255)
            p.path.Frame(static_cast<unsigned>(lParam), GetTickCount());
        return 0;
    case kTrayMessage: {
        RECT at;
        TrayIcon::Event event = p.tray.Decode(wParam, lParam, &at);
        if (event == TrayIcon::Event::Menu)
            p.menu.Show(at);
        else if (event == TrayIcon::Event::NotificationClicked &&
                 p.offer.IsOffer(p.tray.LastNotification()))
            p.setup.Open();
        return 0;
    }
    case WM_COMMAND:
        p.menu.OnCommand(static_cast<MenuCommand>(LOWORD(wParam)));
        return 0;
    case WM_TIMER:
        p.path.OnTimer(wParam, GetTickCount()) || p.sender.OnTimer(wParam) ||
            p.tuner.OnTimer(wParam) || p.aside.OnTimer(wParam);
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
    if (p.tuner.OnMessage(msg, wParam, lParam))
        return TRUE; // WM_POWERBROADCAST, WM_DEVICECHANGE
    if (p.network.OnSocketMessage(msg, wParam, lParam) || p.aside.OnMessage(msg, wParam))
        return 0;
    LRESULT result = 0;
    if (HandleRegistered(msg, &result))
        return result;
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

// The messages registered by name: other instances', the taskbar's.
bool KeysApp::HandleRegistered(UINT msg, LRESULT* result)
{
    Parts& p = *parts_;
    if (!msg)
        return false;
    if (msg == mapKeyMessage_)
        p.mapKey.Open();
    else if (msg == stateMessage_)
        *result = static_cast<LRESULT>(p.tuner.state());
    else if (msg == setupMessage_)
        p.setup.Open();
    else if (msg == showMessage_)
        p.menu.Show(p.tray.Anchor());
    else if (msg == taskbarCreated_) {
        p.tray.Add(inactiveIcon_, strings::kTipFailed);
        UpdateIcon();
    } else
        return false;
    return true;
}

// Started, stopped, failed, waiting or aside: what a key started ends.
void KeysApp::OnTunerChanged()
{
    parts_->path.Cancel();
    UpdateIcon();
}

void KeysApp::OnMapChanged()
{
    Parts& p = *parts_;
    KeyFrames::Timing timing;
    timing.guardMs = p.map.map().repeatGuardMs;
    timing.longPressMs = p.map.map().longPressMs;
    p.path.SetTiming(timing);
    p.path.Cancel(); // the key in hand came from the old map
    p.actions.MapChanged();
}

// The icon, its tip, and the dialogs that wait for a remote key show the state.
void KeysApp::UpdateIcon()
{
    Parts& p = *parts_;
    bool listening = p.tuner.listening();
    p.tray.Update(listening ? activeIcon_ : inactiveIcon_, TipText(p.tuner, p.aside, p.actions.mode()));
    std::wstring unheard = p.aside.Unheard();
    p.mapKey.SetUnheard(unheard);
    p.setup.SetUnheard(unheard);
}

void KeysApp::Shutdown()
{
    if (!parts_)
        return;
    Parts& p = *parts_;
    p.path.Cancel();
    p.aside.Shutdown();
    p.network.Shutdown();
    p.tuner.Shutdown();
    p.tray.Remove();
}
