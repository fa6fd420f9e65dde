#pragma once

#include <string>
#include <vector>

// Start with Windows for the current user, as Windows keeps it: the Run entry
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run) holds the command
// line, and a StartupApproved entry of the same name beside it
// (...\Explorer\StartupApproved\Run), when there is one, enables or disables
// it: the low bit of its first byte set means disabled. Windows' own
// switches (Settings' Startup apps, Task Manager) flip that entry and leave
// the Run entry alone; so does this class where one exists. The installer
// writes both entries and owns the Run entry, so that uninstalling removes
// it whatever was switched since. Without one (a copy from the ZIP) the Run
// entry itself is written and deleted.
class AutoStart {
public:
    // What the registry holds for the entry's name.
    struct State {
        bool runIsThis = false;          // the Run entry starts this command
        std::vector<unsigned char> approval; // the StartupApproved entry; empty: none
    };
    // What switching on or off changes.
    struct Change {
        bool writeRun = false;
        bool deleteRun = false;
        std::vector<unsigned char> approval; // to write; empty: left as it is
    };

    // valueName: the entries' name; command: the command line of this copy.
    AutoStart(std::wstring valueName, std::wstring command);

    // True when the Run entry starts this command and is not disabled.
    bool IsOn() const;
    // Switches; false with *error when the registry refuses.
    bool Set(bool on, std::string* error) const;

    static bool IsOn(const State& state);
    // fileTime: now, which Windows records in an entry it disables.
    static Change ChangeFor(const State& state, bool on, unsigned long long fileTime);

    // "C:\...\halyard-keys.exe", with --ini "PATH" when the INI was given on
    // the command line.
    static std::wstring CommandFor(const std::wstring& exePath, const std::wstring& iniPath,
                                   bool iniGiven);

private:
    State Read() const;

    std::wstring valueName_;
    std::wstring command_;
};
