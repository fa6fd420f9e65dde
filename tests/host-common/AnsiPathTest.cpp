#include <gtest/gtest.h>

#include <windows.h>

#include "AnsiPath.h"
#include "TempFolder.h"

namespace {

// Cyrillic and Chinese: outside every Western ANSI code page.
const wchar_t kForeignName[] = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u4E2D\u6587";

std::string MaskCodeThrough(const std::string& ansiPath)
{
    char value[32];
    GetPrivateProfileStringA("Custom", "MaskCode", "none", value, sizeof(value), ansiPath.c_str());
    return value;
}

TEST(AnsiPathTest, APathTheCodePageHoldsIsKeptAsItIs)
{
    std::string ansi;
    ASSERT_TRUE(AnsiPathFor(L"C:\\Users\\Ann\\AppData\\Roaming\\Halyard\\halyard.ini", &ansi));
    EXPECT_EQ(ansi, "C:\\Users\\Ann\\AppData\\Roaming\\Halyard\\halyard.ini");
    if (GetACP() != 1252)
        GTEST_SKIP() << "code page " << GetACP();
    // Not shortened when it need not be: the user reads it in messages.
    ASSERT_TRUE(AnsiPathFor(L"C:\\Users\\Ren\u00E9e\\halyard.ini", &ansi));
    EXPECT_EQ(ansi, "C:\\Users\\Ren\xE9" "e\\halyard.ini");
}

TEST(AnsiPathTest, AForeignFolderReachesTheLibraryByItsShortName)
{
    TempFolder root(L"halyard-ansi");
    const std::wstring folder = root.path() + L"\\" + kForeignName;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring ini = folder + L"\\halyard.ini";
    std::string lossy;
    EXPECT_FALSE(ToAnsiExactly(ini, &lossy));

    // Not there yet (the first start): the folder's short name and the file's.
    std::string before;
    ASSERT_TRUE(AnsiPathFor(ini, &before));
    EXPECT_EQ(before.substr(before.size() - 12), "\\halyard.ini");
    ASSERT_TRUE(WriteTextFile(ini, "[Custom]\r\nMaskCode=0x40BF\r\n"));
    EXPECT_EQ(MaskCodeThrough(before), "0x40BF");

    std::string after;
    ASSERT_TRUE(AnsiPathFor(ini, &after));
    EXPECT_EQ(after.find('?'), std::string::npos) << after;
    EXPECT_EQ(MaskCodeThrough(after), "0x40BF");

    // A foreign file name has a short name too.
    const std::wstring named = root.path() + L"\\" + kForeignName + L".ini";
    ASSERT_TRUE(WriteTextFile(named, "[Custom]\r\nMaskCode=7\r\n"));
    std::string shortNamed;
    ASSERT_TRUE(AnsiPathFor(named, &shortNamed));
    EXPECT_EQ(MaskCodeThrough(shortNamed), "7");
}

TEST(AnsiPathTest, AMissingForeignFolderHasNoAnsiForm)
{
    TempFolder root(L"halyard-ansi-missing");
    std::string ansi = "stale";
    EXPECT_FALSE(AnsiPathFor(root.path() + L"\\" + kForeignName + L"\\halyard.ini", &ansi));
}

} // namespace
