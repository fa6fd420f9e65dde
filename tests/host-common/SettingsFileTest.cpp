#include <gtest/gtest.h>

#include <windows.h>

#include "SettingsFile.h"
#include "TempFolder.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() : root_(L"halyard-settings")
    {
        program_ = root_.path() + L"\\program";
        appData_ = root_.path() + L"\\appdata";
        CreateDirectoryW(program_.c_str(), nullptr);
        CreateDirectoryW(appData_.c_str(), nullptr);
        user_ = appData_ + L"\\Halyard\\halyard.ini";
    }

    TempFolder root_;
    std::wstring program_, appData_, user_;
};

TEST_F(SettingsFileTest, TheCommandLineThenBesideTheProgramThenTheUsersOwn)
{
    // Nothing beside the program: the user's own, whether or not it exists yet.
    SettingsFile found = FindSettingsFile(L"", program_, appData_);
    EXPECT_EQ(found.path, user_);
    EXPECT_EQ(found.source, SettingsFile::Source::UserProfile);
    // A folder of that name beside the program is not a settings file.
    CreateDirectoryW((program_ + L"\\halyard.ini").c_str(), nullptr);
    EXPECT_EQ(FindSettingsFile(L"", program_ + L"\\", appData_ + L"\\").path, user_);
    RemoveDirectoryW((program_ + L"\\halyard.ini").c_str());

    // A copy from the ZIP carries its settings beside it.
    ASSERT_TRUE(WriteTextFile(program_ + L"\\halyard.ini", "[Custom]\r\n"));
    found = FindSettingsFile(L"", program_ + L"\\", appData_);
    EXPECT_EQ(found.path, program_ + L"\\halyard.ini");
    EXPECT_EQ(found.source, SettingsFile::Source::BesideProgram);

    // --ini wins over both, even when it does not exist.
    found = FindSettingsFile(L"D:\\elsewhere\\mine.ini", program_, appData_);
    EXPECT_EQ(found.path, L"D:\\elsewhere\\mine.ini");
    EXPECT_EQ(found.source, SettingsFile::Source::CommandLine);

    // No user profile: beside the program, even when missing.
    DeleteFileW((program_ + L"\\halyard.ini").c_str());
    EXPECT_EQ(FindSettingsFile(L"", program_, L"").path, program_ + L"\\halyard.ini");
}

TEST_F(SettingsFileTest, TheUsersOwnIsMadeFromTheExampleAndThenLeftAlone)
{
    const std::wstring example = program_ + L"\\halyard.example.ini";
    ASSERT_TRUE(WriteTextFile(example, "[Custom]\r\nMaskCode=0\r\n"));
    // An installed example may be read-only; the user's copy must not be.
    SetFileAttributesW(example.c_str(), FILE_ATTRIBUTE_READONLY);
    SettingsFile settings = FindSettingsFile(L"", program_, appData_);
    std::string error;
    ASSERT_TRUE(CreateUserSettings(settings, example, &error)) << error;
    EXPECT_EQ(ReadTextFile(user_), "[Custom]\r\nMaskCode=0\r\n");
    EXPECT_FALSE(GetFileAttributesW(user_.c_str()) & FILE_ATTRIBUTE_READONLY);

    // The user's edits survive every later start, whatever the example says.
    ASSERT_TRUE(WriteTextFile(user_, "[Custom]\r\nMaskCode=0x40BF\r\n"));
    SetFileAttributesW(example.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteTextFile(example, "[Custom]\r\nMaskCode=1\r\n"));
    ASSERT_TRUE(CreateUserSettings(settings, example, &error)) << error;
    EXPECT_EQ(ReadTextFile(user_), "[Custom]\r\nMaskCode=0x40BF\r\n");
}

TEST_F(SettingsFileTest, WithoutAnExampleTheFolderIsStillMadeForTheEditor)
{
    SettingsFile settings = FindSettingsFile(L"", program_, appData_);
    std::string error;
    EXPECT_FALSE(CreateUserSettings(settings, program_ + L"\\halyard.example.ini", &error));
    EXPECT_FALSE(error.empty());
    DWORD folder = GetFileAttributesW((appData_ + L"\\Halyard").c_str());
    EXPECT_TRUE(folder != INVALID_FILE_ATTRIBUTES && (folder & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(user_.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
