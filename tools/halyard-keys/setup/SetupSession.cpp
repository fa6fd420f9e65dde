#include "SetupSession.h"

const std::vector<std::string>& SetupButtons()
{
    static const std::vector<std::string> buttons = {
        "KEY_OK", "KEY_UP", "KEY_DOWN", "KEY_LEFT", "KEY_RIGHT", "KEY_BACK", "KEY_VOLUMEUP",
        "KEY_VOLUMEDOWN", "KEY_MUTE", "KEY_PLAYPAUSE", "KEY_STOP", "KEY_NEXT", "KEY_PREVIOUS",
        "KEY_FASTFORWARD", "KEY_REWIND", "KEY_RECORD", "KEY_CHANNELUP", "KEY_CHANNELDOWN",
        "KEY_MENU", "KEY_INFO", "KEY_POWER", "KEY_1", "KEY_2", "KEY_3", "KEY_4", "KEY_5",
        "KEY_6", "KEY_7", "KEY_8", "KEY_9", "KEY_0",
    };
    return buttons;
}

SetupSession::SetupSession(std::vector<NamedButton> named)
    : before_(std::move(named)), codes_(SetupButtons().size(), -1)
{
}

// The name code goes by now: given in this walk, else in the settings
// (unless this walk gave that name to another code).
std::string SetupSession::NameOf(unsigned code) const
{
    for (size_t i = 0; i < codes_.size(); ++i) {
        if (codes_[i] == static_cast<int>(code))
            return SetupButtons()[i];
    }
    for (const NamedButton& button : before_) {
        if (button.code != code)
            continue;
        for (size_t i = 0; i < codes_.size(); ++i) {
            if (codes_[i] >= 0 && SetupButtons()[i] == button.name)
                return std::string();
        }
        return button.name;
    }
    return std::string();
}

SetupSession::Heard SetupSession::Press(unsigned code, std::string* other)
{
    if (through())
        return Heard::Through;
    const std::string& waited = SetupButtons()[step_];
    std::string name = NameOf(code);
    if (!name.empty() && name != waited && pointedOut_ != static_cast<int>(code)) {
        pointedOut_ = static_cast<int>(code);
        if (other)
            *other = name;
        return Heard::PointedOut;
    }
    for (int& given : codes_) {
        if (given == static_cast<int>(code))
            given = -1;
    }
    codes_[step_] = static_cast<int>(code);
    ++step_;
    pointedOut_ = -1;
    return Heard::Taken;
}

void SetupSession::Skip()
{
    if (!through())
        ++step_;
    pointedOut_ = -1;
}

void SetupSession::Back()
{
    if (step_ > 0)
        --step_;
    pointedOut_ = -1;
}

bool SetupSession::CodeAt(size_t step, unsigned* code) const
{
    if (step >= codes_.size() || codes_[step] < 0)
        return false;
    *code = static_cast<unsigned>(codes_[step]);
    return true;
}

std::vector<NamedButton> SetupSession::Named() const
{
    std::vector<NamedButton> named;
    for (size_t i = 0; i < codes_.size(); ++i) {
        if (codes_[i] >= 0)
            named.push_back({static_cast<unsigned>(codes_[i]), SetupButtons()[i]});
    }
    return named;
}
