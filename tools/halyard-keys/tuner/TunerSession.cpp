#include "TunerSession.h"

#include <objbase.h>

#include "HostMessages.h"
#include "Strings.h"
#include "Text.h"

namespace {

// The category the tuner's driver registers its interface in. Defined from
// its published value, as SDK import libraries differ in carrying it.
const GUID kTunerCategory = {
    0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};

} // namespace

TunerSession::TunerSession(HWND window, UINT_PTR timerId, const KeysPaths& paths,
                           Notices* notices, Host host)
    : window_(window), timerId_(timerId), paths_(paths), notices_(notices),
      host_(std::move(host))
{
    // Arrival and removal of the tuner's own interface where the system
    // reports them; DBT_DEVNODES_CHANGED comes everywhere regardless.
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kTunerCategory;
    tunerNotify_ = RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void TunerSession::Start(Asker asker)
{
    if (!comReady_) {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr)) {
            Fail(Utf8FromAnsi(ComInitFailureText(hr)));
            return;
        }
        comReady_ = true;
    }
    if (host_.mustStandAside()) {
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
    if (state_ == TunerState::Listening)
        library_.uninit(); // a restart: the tuner it holds may be gone
    state_ = TunerState::Paused;
    maskCode_ = ReadMaskCode();
    host_.maskCodeRead(maskCode_);
    HRESULT hr = library_.init(window_, paths_.libraryIni.empty() ? nullptr
                                                                 : paths_.libraryIni.c_str());
    if (hr == E_FAIL) {
        WaitForTuner(asker);
        return;
    }
    if (FAILED(hr)) {
        Fail(Utf8FromAnsi(InitFailureText(hr, paths_.dll)));
        return;
    }
    state_ = TunerState::Listening;
    failure_.clear();
    recovery_.Started();
    ArmRecoveryTimer();
    Changed();
    if (toldNotListening_) {
        toldNotListening_ = false;
        notices_->Notify(strings::kListeningAgainTitle, strings::kListeningAgain,
                         Notices::Kind::Info);
    }
}

void TunerSession::Stop()
{
    if (state_ == TunerState::Listening)
        library_.uninit();
    state_ = TunerState::Paused;
    recovery_.Stopped();
    ArmRecoveryTimer();
    Changed();
}

void TunerSession::StandAside()
{
    if (state_ == TunerState::Listening)
        library_.uninit();
    library_.Unload();
    state_ = TunerState::Aside;
    failure_.clear();
    recovery_.Stopped();
    ArmRecoveryTimer();
    Changed();
}

void TunerSession::SettingsReloaded()
{
    if (state_ == TunerState::Listening && ReadMaskCode() != maskCode_)
        Start(Asker::User);
}

void TunerSession::Fail(const std::string& reason)
{
    state_ = TunerState::Failed;
    failure_ = reason;
    recovery_.Stopped();
    ArmRecoveryTimer();
    Changed();
    notices_->Notify(strings::kNotListeningTitle, reason + strings::kChooseRetry,
                     Notices::Kind::Error);
    toldNotListening_ = true;
}

// No tuner: the usual state after sleep or a pulled cable until the tuner is
// back, and at sign-in before it is switched on. Only the user's own start
// is answered with a notification; the recovery's attempts keep quiet.
void TunerSession::WaitForTuner(Asker asker)
{
    state_ = TunerState::Waiting;
    failure_.clear();
    recovery_.NoTuner(GetTickCount());
    ArmRecoveryTimer();
    Changed();
    if (asker == Asker::User) {
        notices_->Notify(strings::kWaitingTitle, strings::kWaitingText, Notices::Kind::Warning);
        toldNotListening_ = true;
    }
}

bool TunerSession::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_POWERBROADCAST) {
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            Notice(true);
        return true;
    }
    if (msg != WM_DEVICECHANGE)
        return false;
    if (wParam == DBT_DEVNODES_CHANGED ||
        ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam &&
         reinterpret_cast<DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype ==
             DBT_DEVTYP_DEVICEINTERFACE))
        Notice(false);
    return true;
}

void TunerSession::Notice(bool resumed)
{
    if (state_ == TunerState::Aside)
        return; // it starts afresh when the other program is gone
    if (resumed)
        recovery_.Resumed(GetTickCount());
    else
        recovery_.DeviceChanged(GetTickCount());
    ArmRecoveryTimer();
}

bool TunerSession::OnTimer(UINT_PTR id)
{
    if (id != timerId_)
        return false;
    KillTimer(window_, timerId_);
    if (recovery_.Due(GetTickCount()) != TunerRecovery::Attempt::None)
        Start(Asker::Recovery); // restarts when the library runs
    ArmRecoveryTimer();
    return true;
}

void TunerSession::ArmRecoveryTimer()
{
    DWORD wait = recovery_.WaitMs(GetTickCount());
    if (wait == INFINITE)
        KillTimer(window_, timerId_);
    else
        SetTimer(window_, timerId_, wait ? wait : USER_TIMER_MINIMUM, nullptr);
}

void TunerSession::Changed()
{
    if (host_.changed)
        host_.changed();
}

void TunerSession::Shutdown()
{
    if (tunerNotify_) {
        UnregisterDeviceNotification(tunerNotify_);
        tunerNotify_ = nullptr;
    }
    recovery_.Stopped();
    KillTimer(window_, timerId_);
    if (state_ == TunerState::Listening) {
        library_.uninit();
        state_ = TunerState::Paused;
    }
    library_.Unload();
    if (comReady_) {
        CoUninitialize();
        comReady_ = false;
    }
}

std::string TunerSession::maskCode() const
{
    return maskCode_.empty() ? ReadMaskCode() : maskCode_;
}

std::string TunerSession::ReadMaskCode() const
{
    wchar_t value[64];
    GetPrivateProfileStringW(L"Custom", L"MaskCode", L"0", value, ARRAYSIZE(value),
                             paths_.ini.path.c_str());
    return Utf8FromWide(value);
}
