#include "CommonButtonActions.h"

namespace {

struct Entry {
    const char* name;
    const char* action;
};

const Entry kActions[] = {
    {"KEY_OK", "Enter"},
    {"KEY_SELECT", "Enter"},
    {"KEY_ENTER", "Enter"},
    // Held, the arrows move on through a list as the keyboard's do.
    {"KEY_UP", "Up, repeat"},
    {"KEY_DOWN", "Down, repeat"},
    {"KEY_LEFT", "Left, repeat"},
    {"KEY_RIGHT", "Right, repeat"},
    // Esc, not Backspace: Esc backs out in every Windows program (a menu, a
    // dialog, full screen in the players and browsers), while Backspace
    // deletes a character wherever a text box has the focus and no longer
    // goes back in the browsers.
    {"KEY_BACK", "Esc"},
    {"KEY_EXIT", "Esc"},
    {"KEY_ESC", "Esc"},
    {"KEY_PLAYPAUSE", "VK_MEDIA_PLAY_PAUSE"},
    {"KEY_PLAY", "VK_MEDIA_PLAY_PAUSE"},
    {"KEY_PAUSE", "VK_MEDIA_PLAY_PAUSE"},
    {"KEY_STOP", "VK_MEDIA_STOP"},
    {"KEY_STOPCD", "VK_MEDIA_STOP"},
    {"KEY_NEXT", "VK_MEDIA_NEXT_TRACK"},
    {"KEY_NEXTSONG", "VK_MEDIA_NEXT_TRACK"},
    {"KEY_PREVIOUS", "VK_MEDIA_PREV_TRACK"},
    {"KEY_PREVIOUSSONG", "VK_MEDIA_PREV_TRACK"},
    // Volume is held for long stretches: faster and faster.
    {"KEY_VOLUMEUP", "VK_VOLUME_UP, repeat fast"},
    {"KEY_VOLUMEDOWN", "VK_VOLUME_DOWN, repeat fast"},
    {"KEY_MUTE", "VK_VOLUME_MUTE"},
    {"KEY_CHANNELUP", "PageUp"},
    {"KEY_CHANNELDOWN", "PageDown"},
    {"KEY_0", "0"},
    {"KEY_1", "1"},
    {"KEY_2", "2"},
    {"KEY_3", "3"},
    {"KEY_4", "4"},
    {"KEY_5", "5"},
    {"KEY_6", "6"},
    {"KEY_7", "7"},
    {"KEY_8", "8"},
    {"KEY_9", "9"},
};

const Entry kMouseActions[] = {
    // A pointer moves while the button is held: no repeat.
    {"KEY_UP", "mouse: up"},
    {"KEY_DOWN", "mouse: down"},
    {"KEY_LEFT", "mouse: left"},
    {"KEY_RIGHT", "mouse: right"},
    {"KEY_OK", "mouse: click"},
    {"KEY_SELECT", "mouse: click"},
    {"KEY_ENTER", "mouse: click"},
    {"KEY_BACK", "mouse: right click"},
    {"KEY_CHANNELUP", "mouse: wheel up, repeat"},
    {"KEY_CHANNELDOWN", "mouse: wheel down, repeat"},
};

// Menu and Info have no common action of their own, so one is free for the
// mode on every remote that has one of them.
const char* const kToggles[] = {"KEY_MENU", "KEY_INFO"};

} // namespace

const char kMouseMode[] = "Mouse";

std::string CommonMouseAction(const std::string& name, const std::string& toggle)
{
    if (name == toggle)
        return "mode: off";
    for (const Entry& entry : kMouseActions) {
        if (name == entry.name)
            return entry.action;
    }
    return std::string();
}

const char* const* MouseModeToggles(size_t* count)
{
    *count = sizeof(kToggles) / sizeof(kToggles[0]);
    return kToggles;
}

std::string CommonButtonAction(const std::string& name)
{
    for (const Entry& entry : kActions) {
        if (name == entry.name)
            return entry.action;
    }
    return std::string();
}
