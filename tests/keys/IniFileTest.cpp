#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "IniFile.h"

namespace {

// A folder of its own under %TEMP% for each test, removed afterwards.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"halyard-ini-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        path_ = folder_ + L"\\halyard.ini";
    }

    void TearDown() override
    {
        for (const std::wstring& name : Files()) {
            std::wstring file = folder_ + L"\\" + name;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }

    // What the folder holds: a failed save leaves nothing of its own.
    std::vector<std::wstring> Files() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    void Put(const std::string& bytes)
    {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::string Contents() const
    {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "(missing)";
        std::string bytes(1 << 16, '\0');
        DWORD read = 0;
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes.substr(0, read);
    }

    std::wstring folder_;
    std::wstring path_;
};

const std::vector<std::wstring> kJustTheFile = {L"halyard.ini"};
// UTF-16 with its mark: the one encoding whose bytes a careless write would
// most plainly ruin.
const std::string kUtf16(
    "\xFF\xFE[\0K\0e\0y\0s\0]\0\r\0\n\0\x31\0=\0E\0s\0c\0\r\0\n\0", 32);

TEST_F(IniFileTest, SavesTheEditInTheFilesEncodingAndLeavesNothingBeside)
{
    Put(kUtf16);
    IniFile file(path_);
    std::string error;
    ASSERT_TRUE(file.Load(&error)) << error;
    ASSERT_TRUE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=Tab"), &error)) << error;
    EXPECT_FALSE(file.reloaded());
    EXPECT_EQ(Contents(), kUtf16 + std::string("2\0=\0T\0a\0b\0\r\0\n\0", 14));
    EXPECT_EQ(Files(), kJustTheFile);

    // An edit that changes nothing does not write.
    FILETIME before, after;
    HANDLE handle = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    GetFileTime(handle, nullptr, nullptr, &before);
    CloseHandle(handle);
    Sleep(20);
    ASSERT_TRUE(file.Save(RemoveLines("Keys", MatchKeyCode(3)), &error)) << error;
    handle = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    GetFileTime(handle, nullptr, nullptr, &after);
    CloseHandle(handle);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(IniFileTest, AMissingFileIsCreatedWhenThereIsSomethingToWrite)
{
    IniFile file(path_);
    std::string error;
    ASSERT_TRUE(file.Load(&error)) << error;
    ASSERT_TRUE(file.Save(RemoveLines("Keys", MatchKeyCode(1)), &error)) << error;
    EXPECT_EQ(Contents(), "(missing)");
    ASSERT_TRUE(file.Save(SetLine("Options", MatchName("ShowKeys"), "ShowKeys=1"), &error))
        << error;
    EXPECT_EQ(Contents(), "[Options]\r\nShowKeys=1\r\n");
    EXPECT_EQ(Files(), kJustTheFile);

    IniFile nowhere(folder_ + L"\\no-such-folder\\halyard.ini");
    EXPECT_FALSE(nowhere.Load(&error));
    EXPECT_NE(error.find("no-such-folder\\halyard.ini: "), std::string::npos) << error;
}

TEST_F(IniFileTest, AFileChangedSinceItWasLoadedIsReadAgainBeforeTheEdit)
{
    Put("[Keys]\r\n1=Esc\r\n");
    IniFile file(path_);
    std::string error;
    ASSERT_TRUE(file.Load(&error)) << error;
    // Changed in an editor: a line added, saved as LF.
    Put("[Keys]\n1=Esc\n; mine\n3=Space\n");
    ASSERT_TRUE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=Tab"), &error)) << error;
    EXPECT_TRUE(file.reloaded());
    EXPECT_EQ(Contents(), "[Keys]\n1=Esc\n; mine\n3=Space\n2=Tab\n");

    // Changed to bytes of the same size, and the time put back: the bytes
    // still tell.
    HANDLE handle = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    FILETIME written;
    GetFileTime(handle, nullptr, nullptr, &written);
    CloseHandle(handle);
    Put("[Keys]\n1=Esc\n; ours\n3=Space\n2=Tab\n");
    handle = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &written);
    CloseHandle(handle);
    ASSERT_TRUE(file.Save(RemoveLines("Keys", MatchKeyCode(1)), &error)) << error;
    EXPECT_TRUE(file.reloaded());
    EXPECT_EQ(Contents(), "[Keys]\n; ours\n3=Space\n2=Tab\n");

    ASSERT_TRUE(file.Save(SetLine("Keys", MatchKeyCode(3), "3=Enter"), &error)) << error;
    EXPECT_FALSE(file.reloaded());
    EXPECT_EQ(Contents(), "[Keys]\n; ours\n3=Enter\n2=Tab\n");
}

TEST_F(IniFileTest, AFailedSaveLeavesTheFileAsItWasAndSaysWhy)
{
    const std::string before = "; R\xE9glages\r\n[Keys]\r\n1=Esc\r\n"; // ANSI
    Put(before);
    IniFile file(path_, 1252);
    std::string error;
    ASSERT_TRUE(file.Load(&error)) << error;

    // Open in a program that lets others read it but not change it.
    HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=Tab"), &error));
    CloseHandle(held);
    EXPECT_EQ(error.find(std::string(path_.begin(), path_.end()) + ": "), 0u) << error;
    EXPECT_GT(error.size(), path_.size() + 2) << "no reason: " << error;
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(Files(), kJustTheFile);

    // Made read-only by its owner.
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=Tab"), &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(Files(), kJustTheFile);
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);

    // An edit the file's code page cannot hold.
    EXPECT_FALSE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=run: Плеер.exe"), &error));
    EXPECT_NE(error.find("code page 1252"), std::string::npos) << error;
    EXPECT_EQ(Contents(), before);

    // And once the way is clear, the same save works.
    ASSERT_TRUE(file.Save(SetLine("Keys", MatchKeyCode(2), "2=Tab"), &error)) << error;
    EXPECT_EQ(Contents(), before + "2=Tab\r\n");
}

} // namespace
