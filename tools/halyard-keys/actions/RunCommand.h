#pragma once

#include <string>

// Starts a command line (UTF-8; %VARIABLES% expanded) without a console
// window and without waiting for it. False, with *error, when it cannot be
// started; *processId, where asked, is the new process's.
bool RunCommand(const std::string& commandLine, std::string* error,
                unsigned long* processId = nullptr);
