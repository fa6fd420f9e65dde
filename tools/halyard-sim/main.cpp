// halyard-sim: presses keys on the simulated tuner that the simulation build
// of Halyard.dll reads, from any process of the session. Exit codes are in
// ExitCodes.h and --help.

#include <stdio.h>

#include <string>
#include <vector>

#include "Commands.h"
#include "ExitCodes.h"
#include "Messages.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        Report("%s (see --help)", text::kNoCommand);
        return kSimExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "/?") {
        fputs(text::kUsage, stdout);
        return kSimExitOk;
    }
    if (command == "press") {
        if (args.size() < 2 || args.size() > 3) {
            Report("%s (see --help)", text::kPressArguments);
            return kSimExitUsage;
        }
        return PressCommand(args);
    }
    if (command == "play") {
        if (args.size() != 1) {
            Report("%s (see --help)", text::kPlayArguments);
            return kSimExitUsage;
        }
        return PlayCommand(args.front());
    }
    if (command == "status" || command == "clear") {
        if (!args.empty()) {
            Report(text::kNoArguments, command.c_str());
            return kSimExitUsage;
        }
        return command == "status" ? StatusCommand() : ClearCommand();
    }
    Report(text::kUnknownCommand, command.c_str());
    return kSimExitUsage;
}
