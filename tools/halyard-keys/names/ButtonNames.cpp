#include "ButtonNames.h"

#include <string.h>

#include "WinTypes.h"

namespace {

// The input event names a remote control's buttons go by, in the order of
// Linux's input-event-codes.h, which LIRC's namespace follows.
const char* const kButtonNames[] = {
    // Keyboard keys a remote often has.
    "KEY_ESC", "KEY_1", "KEY_2", "KEY_3", "KEY_4", "KEY_5", "KEY_6", "KEY_7", "KEY_8", "KEY_9",
    "KEY_0", "KEY_MINUS", "KEY_EQUAL", "KEY_BACKSPACE", "KEY_TAB", "KEY_ENTER", "KEY_SPACE",
    "KEY_F1", "KEY_F2", "KEY_F3", "KEY_F4", "KEY_F5", "KEY_F6", "KEY_F7", "KEY_F8", "KEY_F9",
    "KEY_F10", "KEY_F11", "KEY_F12", "KEY_HOME", "KEY_UP", "KEY_PAGEUP", "KEY_LEFT", "KEY_RIGHT",
    "KEY_END", "KEY_DOWN", "KEY_PAGEDOWN", "KEY_INSERT", "KEY_DELETE", "KEY_NUMERIC_STAR",
    "KEY_NUMERIC_POUND",
    // Sound, power and the media keys.
    "KEY_MUTE", "KEY_VOLUMEDOWN", "KEY_VOLUMEUP", "KEY_POWER", "KEY_PAUSE", "KEY_STOP",
    "KEY_AGAIN", "KEY_UNDO", "KEY_HELP", "KEY_MENU", "KEY_SLEEP", "KEY_WAKEUP", "KEY_EJECTCD",
    "KEY_NEXTSONG", "KEY_PLAYPAUSE", "KEY_PREVIOUSSONG", "KEY_STOPCD", "KEY_RECORD",
    "KEY_REWIND", "KEY_PHONE", "KEY_CONFIG", "KEY_HOMEPAGE", "KEY_REFRESH", "KEY_EXIT",
    "KEY_PLAYCD", "KEY_PAUSECD", "KEY_PLAY", "KEY_FASTFORWARD", "KEY_PRINT", "KEY_CAMERA",
    "KEY_SEARCH", "KEY_SHUFFLE", "KEY_BACK", "KEY_FORWARD", "KEY_MAIL", "KEY_BOOKMARKS",
    "KEY_COMPUTER", "KEY_BRIGHTNESSDOWN", "KEY_BRIGHTNESSUP", "KEY_MEDIA", "KEY_SWITCHVIDEOMODE",
    // The remote controls' own block.
    "KEY_OK", "KEY_SELECT", "KEY_GOTO", "KEY_CLEAR", "KEY_POWER2", "KEY_OPTION", "KEY_INFO",
    "KEY_TIME", "KEY_VENDOR", "KEY_ARCHIVE", "KEY_PROGRAM", "KEY_CHANNEL", "KEY_FAVORITES",
    "KEY_EPG", "KEY_PVR", "KEY_MHP", "KEY_LANGUAGE", "KEY_TITLE", "KEY_SUBTITLE", "KEY_ANGLE",
    "KEY_FULL_SCREEN", "KEY_ZOOM", "KEY_MODE", "KEY_KEYBOARD", "KEY_ASPECT_RATIO", "KEY_SCREEN",
    "KEY_PC", "KEY_TV", "KEY_TV2", "KEY_VCR", "KEY_VCR2", "KEY_SAT", "KEY_SAT2", "KEY_CD",
    "KEY_TAPE", "KEY_RADIO", "KEY_TUNER", "KEY_PLAYER", "KEY_TEXT", "KEY_DVD", "KEY_AUX",
    "KEY_MP3", "KEY_AUDIO", "KEY_VIDEO", "KEY_DIRECTORY", "KEY_LIST", "KEY_MEMO",
    "KEY_CALENDAR", "KEY_RED", "KEY_GREEN", "KEY_YELLOW", "KEY_BLUE", "KEY_CHANNELUP",
    "KEY_CHANNELDOWN", "KEY_FIRST", "KEY_LAST", "KEY_AB", "KEY_NEXT", "KEY_RESTART", "KEY_SLOW",
    "KEY_BREAK", "KEY_PREVIOUS", "KEY_DIGITS", "KEY_TEEN", "KEY_TWEN",
    "KEY_VIDEOPHONE", "KEY_GAMES", "KEY_ZOOMIN", "KEY_ZOOMOUT", "KEY_ZOOMRESET", "KEY_DEL_EOL",
    "KEY_FRAMEBACK", "KEY_FRAMEFORWARD", "KEY_CONTEXT_MENU", "KEY_MEDIA_REPEAT", "KEY_10CHANNELSUP",
    "KEY_10CHANNELSDOWN", "KEY_IMAGES", "KEY_NOTIFICATION_CENTER", "KEY_PICKUP_PHONE",
    "KEY_HANGUP_PHONE", "KEY_ROOT_MENU", "KEY_MEDIA_TOP_MENU", "KEY_AUDIO_DESC", "KEY_3D_MODE",
    "KEY_NEXT_FAVORITE", "KEY_STOP_RECORD", "KEY_PAUSE_RECORD", "KEY_VOD", "KEY_UNMUTE",
    "KEY_DATA", "KEY_ONSCREEN_KEYBOARD",
    // The numbered buttons of a remote's keypad, where it has them apart.
    "KEY_NUMERIC_0", "KEY_NUMERIC_1", "KEY_NUMERIC_2", "KEY_NUMERIC_3", "KEY_NUMERIC_4",
    "KEY_NUMERIC_5", "KEY_NUMERIC_6", "KEY_NUMERIC_7", "KEY_NUMERIC_8", "KEY_NUMERIC_9",
    "KEY_NUMERIC_A", "KEY_NUMERIC_B", "KEY_NUMERIC_C", "KEY_NUMERIC_D",
};

bool StartsWith(const std::string& text, const char* prefix)
{
    return _strnicmp(text.c_str(), prefix, strlen(prefix)) == 0;
}

} // namespace

bool LookUpButtonName(const std::string& name, std::string* canonical)
{
    for (const char* known : kButtonNames) {
        if (_stricmp(known, name.c_str()) == 0) {
            *canonical = known;
            return true;
        }
    }
    return false;
}

bool LooksLikeButtonName(const std::string& key)
{
    return StartsWith(key, "KEY_") || StartsWith(key, "BTN_");
}
