#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "AutoStart.h"

namespace {

using Bytes = std::vector<unsigned char>;

const wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const unsigned long long kTime = 0x01D9C83B8D430DD4ull;

Bytes Approval(unsigned char state)
{
    Bytes bytes(12, 0);
    bytes[0] = state;
    return bytes;
}

AutoStart::State StateOf(bool runIsThis, Bytes approval = Bytes())
{
    AutoStart::State state;
    state.runIsThis = runIsThis;
    state.approval = approval;
    return state;
}

// What the menu shows and what switching it changes, for each combination
// of the Run entry and the StartupApproved entry Windows or the installer
// may have left.
TEST(AutoStartTest, OnlyAnEnabledRunEntryOfThisCopyIsOn)
{
    EXPECT_FALSE(AutoStart::IsOn(StateOf(false)));
    EXPECT_TRUE(AutoStart::IsOn(StateOf(true)));
    EXPECT_TRUE(AutoStart::IsOn(StateOf(true, Approval(0x02))));
    EXPECT_FALSE(AutoStart::IsOn(StateOf(true, Approval(0x03))));
    // Some entries carry 06 / 07: the low bit decides.
    EXPECT_TRUE(AutoStart::IsOn(StateOf(true, Approval(0x06))));
    EXPECT_FALSE(AutoStart::IsOn(StateOf(true, Approval(0x07))));
    EXPECT_FALSE(AutoStart::IsOn(StateOf(false, Approval(0x02))));
}

TEST(AutoStartTest, AStartupApprovedEntryIsFlippedAndTheRunEntryKept)
{
    AutoStart::Change off = AutoStart::ChangeFor(StateOf(true, Approval(0x02)), false, kTime);
    EXPECT_FALSE(off.writeRun);
    EXPECT_FALSE(off.deleteRun);
    // As Task Manager writes it: disabled, and when.
    EXPECT_EQ(off.approval, (Bytes{0x03, 0, 0, 0, 0xD4, 0x0D, 0x43, 0x8D, 0x3B, 0xC8, 0xD9, 0x01}));

    AutoStart::Change on = AutoStart::ChangeFor(StateOf(true, Approval(0x03)), true, kTime);
    EXPECT_FALSE(on.writeRun);
    EXPECT_FALSE(on.deleteRun);
    EXPECT_EQ(on.approval, Approval(0x02));
    EXPECT_EQ(AutoStart::ChangeFor(StateOf(true, Approval(0x07)), true, kTime).approval,
              Approval(0x06));
}

TEST(AutoStartTest, WithoutOneTheRunEntryIsWrittenAndDeleted)
{
    AutoStart::Change on = AutoStart::ChangeFor(StateOf(false), true, kTime);
    EXPECT_TRUE(on.writeRun);
    EXPECT_TRUE(on.approval.empty());
    AutoStart::Change off = AutoStart::ChangeFor(StateOf(true), false, kTime);
    EXPECT_TRUE(off.deleteRun);
    EXPECT_TRUE(off.approval.empty());
}

TEST(AutoStartTest, AnotherCopysEntryBecomesThisOneEnabled)
{
    // Another copy's Run entry, disabled: this copy's command, enabled.
    AutoStart::Change on = AutoStart::ChangeFor(StateOf(false, Approval(0x03)), true, kTime);
    EXPECT_TRUE(on.writeRun);
    EXPECT_EQ(on.approval, Approval(0x02));
    // Switching off what is not on, or on what is, changes nothing.
    for (const AutoStart::State& state :
         {StateOf(false), StateOf(false, Approval(0x02)), StateOf(true, Approval(0x03))}) {
        AutoStart::Change none = AutoStart::ChangeFor(state, false, kTime);
        EXPECT_FALSE(none.writeRun || none.deleteRun || !none.approval.empty());
    }
    AutoStart::Change none = AutoStart::ChangeFor(StateOf(true), true, kTime);
    EXPECT_FALSE(none.writeRun || none.deleteRun || !none.approval.empty());
}

Bytes ReadApproval(const std::wstring& name)
{
    Bytes bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, name.c_str(), RRF_RT_REG_BINARY, nullptr,
                     bytes.data(), &size) != ERROR_SUCCESS)
        return Bytes();
    bytes.resize(size);
    return bytes;
}

// The registry itself, under names of the test's own.
TEST(AutoStartTest, OnOffAndOnlyForThisCommand)
{
    const std::wstring command = AutoStart::CommandFor(
        L"C:\\Program Files\\Halyard\\halyard-keys.exe", L"D:\\my.ini", true);
    EXPECT_EQ(command, L"\"C:\\Program Files\\Halyard\\halyard-keys.exe\" --ini \"D:\\my.ini\"");
    EXPECT_EQ(AutoStart::CommandFor(L"C:\\h\\halyard-keys.exe", L"C:\\h\\halyard.ini", false),
              L"\"C:\\h\\halyard-keys.exe\"");

    AutoStart entry(L"Halyard keys test", command);
    AutoStart otherCopy(L"Halyard keys test", L"\"D:\\other\\halyard-keys.exe\"");
    std::string error;
    ASSERT_TRUE(entry.Set(false, &error)) << error;
    EXPECT_FALSE(entry.IsOn());
    ASSERT_TRUE(entry.Set(true, &error)) << error;
    EXPECT_TRUE(entry.IsOn());
    EXPECT_FALSE(otherCopy.IsOn());
    ASSERT_TRUE(entry.Set(false, &error)) << error;
    EXPECT_FALSE(entry.IsOn());
    EXPECT_TRUE(entry.Set(false, &error)); // already off
}

TEST(AutoStartTest, AnInstalledEntryIsSwitchedThroughStartupApproved)
{
    // As the installer leaves it: its Run entry, and an enabled approval.
    const std::wstring name = L"Halyard keys installed test";
    const std::wstring command = L"\"C:\\users\\u\\AppData\\Local\\Programs\\Halyard\\halyard-keys.exe\"";
    HKEY run;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    Bytes enabled = Approval(0x02);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, name.c_str(), REG_BINARY,
                              enabled.data(), static_cast<DWORD>(enabled.size())),
              ERROR_SUCCESS);

    // The program's path in another case is still this copy.
    AutoStart entry(name, L"\"C:\\Users\\U\\AppData\\Local\\Programs\\Halyard\\halyard-keys.exe\"");
    EXPECT_TRUE(entry.IsOn());
    std::string error;
    ASSERT_TRUE(entry.Set(false, &error)) << error;
    EXPECT_FALSE(entry.IsOn());
    Bytes disabled = ReadApproval(name);
    ASSERT_EQ(disabled.size(), 12u);
    EXPECT_EQ(disabled[0], 0x03);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(run, name.c_str(), nullptr, nullptr, nullptr, &size), ERROR_SUCCESS)
        << "the installer's Run entry must stay";
    ASSERT_TRUE(entry.Set(true, &error)) << error;
    EXPECT_TRUE(entry.IsOn());
    EXPECT_EQ(ReadApproval(name), enabled);

    RegDeleteValueW(run, name.c_str());
    RegCloseKey(run);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, name.c_str());
}

} // namespace
