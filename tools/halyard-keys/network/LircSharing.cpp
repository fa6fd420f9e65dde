#include "LircSharing.h"

#include "LircEvent.h"
#include "SaveSetting.h"
#include "Strings.h"

LircSharing::LircSharing(HWND window, UINT socketMessage, std::wstring iniPath,
                         Notices* notices, std::function<std::string(unsigned code)> nameOf)
    : window_(window), socketMessage_(socketMessage), iniPath_(std::move(iniPath)),
      notices_(notices), nameOf_(std::move(nameOf))
{
}

void LircSharing::Start(const std::string& maskCode)
{
    settings_ = ParseNetworkSettings(ReadNetworkValues(iniPath_));
    if (!server_)
        server_.reset(new LircServer(window_, socketMessage_, nameOf_));
    SetMaskCode(maskCode);
    std::string error;
    LircServer::Result result = server_->Start(settings_, &error);
    NotifyProblems(
        result == LircServer::Result::InUse || result == LircServer::Result::Failed ? error : "");
}

void LircSharing::Reload(const std::string& maskCode)
{
    NetworkSettings settings = ParseNetworkSettings(ReadNetworkValues(iniPath_));
    if (listening() && settings.SameListener(settings_)) {
        settings_ = settings;
        server_->Reload(settings_);
        NotifyProblems("");
        return;
    }
    Start(maskCode);
}

void LircSharing::SetMaskCode(const std::string& maskCode)
{
    if (server_)
        server_->SetMaskCode(ParseMaskCode(maskCode));
}

// As Show keys on screen: one line of the settings file changes.
void LircSharing::Toggle(const std::string& maskCode)
{
    std::string error;
    if (!SaveSetting(iniPath_, "Network", "Listen", listening() ? "Listen=" : kShareRemoteLine,
                     &error)) {
        notices_->Notify(strings::kNetShareFailedTitle, error, Notices::Kind::Warning);
        return;
    }
    Start(maskCode);
}

// [Network]'s bad lines and why the server could not start, if anything.
void LircSharing::NotifyProblems(const std::string& startError)
{
    std::string text;
    for (const std::string& line : settings_.errors)
        text += line + "\n";
    text += startError;
    if (!text.empty())
        notices_->Notify(listening() ? strings::kNetProblemsTitle : strings::kNetNotSharedTitle,
                         text, Notices::Kind::Warning);
}

bool LircSharing::OnSocketMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != socketMessage_)
        return false;
    if (server_)
        server_->OnSocketMessage(wParam, lParam);
    return true;
}

// Each frame is a line: the press's with repeat 0, each further frame's with
// its count, as lircd counts a held button.
void LircSharing::OnKey(const KeyEvent& event, KeyHandling*)
{
    if ((event.kind == KeyEvent::Kind::Press || event.kind == KeyEvent::Kind::Repeat) &&
        listening())
        server_->Key(event.code, event.repeat);
}
