#pragma once

#include <string>
#include <vector>

// The commands of halyard-sim on the session's simulated tuner; each returns
// the process exit code (ExitCodes.h) and reports on stdout and stderr.
int PressCommand(const std::vector<std::string>& fields);
int PlayCommand(const std::string& scriptPath);
int StatusCommand();
int ClearCommand();

// "halyard-sim: <text>" on stderr.
void Report(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
