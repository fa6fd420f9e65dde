#pragma once

#include <string>
#include <vector>

// The commands of halyard-sim on the session's simulated tuner, each given
// its arguments after the command's name; each returns the process exit
// code (ExitCodes.h) and reports on stdout and stderr.

// Keys (Commands.cpp).
int PressCommand(const std::vector<std::string>& args);
int HoldCommand(const std::vector<std::string>& args);
int PlayCommand(const std::vector<std::string>& args);
int StatusCommand(const std::vector<std::string>& args);
int ClearCommand(const std::vector<std::string>& args);

// The device (DeviceCommands.cpp).
int UnplugCommand(const std::vector<std::string>& args);
int PlugCommand(const std::vector<std::string>& args);
int ReplugCommand(const std::vector<std::string>& args);
int ResumeCommand(const std::vector<std::string>& args);
