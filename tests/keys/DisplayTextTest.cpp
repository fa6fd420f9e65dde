#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DisplayText.h"
#include "KeyNames.h"
#include "Strings.h"

namespace {

TEST(DisplayTextTest, KeysAsPeopleCallThem)
{
    const struct {
        std::vector<WORD> keys;
        const char* text;
    } cases[] = {
        {{VK_VOLUME_UP}, "Volume up"},
        {{VK_VOLUME_DOWN}, "Volume down"},
        {{VK_VOLUME_MUTE}, "Mute"},
        {{VK_MEDIA_PLAY_PAUSE}, "Play/Pause"},
        {{VK_MEDIA_STOP}, "Stop"},
        {{VK_MEDIA_NEXT_TRACK}, "Next track"},
        {{VK_MEDIA_PREV_TRACK}, "Previous track"},
        {{VK_RETURN}, "Enter"},
        {{VK_ESCAPE}, "Esc"},
        {{VK_NEXT}, "Page down"},
        {{VK_NUMPAD5}, "Num 5"},
        {{VK_CONTROL, VK_SHIFT, 'P'}, "Ctrl+Shift+P"},
        {{VK_MENU, VK_F4}, "Alt+F4"},
        {{VK_LWIN, 'D'}, "Win+D"},
        {{VK_RCONTROL, VK_RMENU, VK_DELETE}, "Ctrl+Alt+Delete"},
        {{'7'}, "7"},
        {{VK_CRSEL}, "CRSEL"}, // no name for people: the map's, without VK_
        {{0xE8}, "0xE8"},      // no name at all
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeysDisplayText(c.keys), c.text);
}

TEST(DisplayTextTest, EveryDisplayNameIsForAKeyTheMapNames)
{
    // A name the map does not use would never be shown.
    for (const strings::KeyDisplayName& known : strings::kKeyDisplayNames) {
        WORD vk;
        ASSERT_TRUE(LookUpKey(known.mapName, &vk)) << known.mapName;
        EXPECT_EQ(KeyName(vk), known.mapName) << known.displayName;
    }
    // A punctuation key by what it types on this keyboard, not VK_OEM_...
    std::string plus = KeyDisplayName(VK_OEM_PLUS);
    EXPECT_EQ(plus.size(), 1u) << plus;
}

TEST(DisplayTextTest, ACommandByItsProgramsName)
{
    // A program in a folder with spaces, unquoted, as CreateProcess finds it.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"halyard display " +
                          std::to_wstring(GetCurrentProcessId());
    std::wstring program = folder + L"\\my player.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    CloseHandle(CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    char unquoted[MAX_PATH * 2];
    WideCharToMultiByte(CP_UTF8, 0, (program + L" --fullscreen a b").c_str(), -1, unquoted,
                        sizeof(unquoted), nullptr, nullptr);

    const struct {
        std::string command;
        const char* text;
    } cases[] = {
        {"\"C:\\Program Files\\Player\\player.exe\" --toggle", "run: player"},
        {"notepad.exe a,b", "run: notepad"},
        {"  notepad", "run: notepad"},
        {"%ProgramFiles%\\VideoLAN\\VLC\\vlc.exe --one-instance", "run: vlc"},
        {"C:/tools/my.player.EXE", "run: my.player"},
        {"\"D:\\Media Center\\mc\"", "run: mc"},
        {"\\\\server\\share\\remote.exe", "run: remote"},
        {unquoted, "run: my player"},
        {"\"\" x", "run: \"\" x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunDisplayText(c.command), c.text) << c.command;

    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
