#pragma once

#include <string>

// The per-user Run entry that starts a program at sign-in
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run).
class AutoStart {
public:
    // valueName: the entry's name; command: the command line it holds.
    AutoStart(std::string valueName, std::string command);

    // True when the entry exists and starts this command.
    bool IsOn() const;
    // Writes or deletes the entry; false with *error when that fails.
    bool Set(bool on, std::string* error) const;

    // "C:\...\halyard-keys.exe", with --ini "PATH" when the INI is not the
    // default one.
    static std::string CommandFor(const std::string& exePath, const std::string& iniPath,
                                  bool defaultIni);

private:
    std::string valueName_;
    std::string command_;
};
