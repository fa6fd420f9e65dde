// halyard-sim: presses keys on the simulated tuner that the simulation build
// of Halyard.dll reads, from any process of the session, and plugs the tuner
// in and out. Exit codes are in ExitCodes.h and --help.

#include <stdio.h>

#include <string>
#include <vector>

#include "Commands.h"
#include "ExitCodes.h"
#include "Messages.h"
#include "TunerAccess.h"

namespace {

struct Command {
    const char* name;
    size_t fewestArgs, mostArgs;
    const char* usage; // the usage error; null for a command without arguments
    int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"press", 2, 3, text::kPressArguments, PressCommand},
    {"hold", 3, 4, text::kHoldArguments, HoldCommand},
    {"play", 1, 1, text::kPlayArguments, PlayCommand},
    {"status", 0, 0, nullptr, StatusCommand},
    {"clear", 0, 0, nullptr, ClearCommand},
    {"unplug", 0, 0, nullptr, UnplugCommand},
    {"plug", 0, 0, nullptr, PlugCommand},
    {"replug", 0, 2, text::kReplugArguments, ReplugCommand},
    {"resume", 0, 2, text::kResumeArguments, ResumeCommand},
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        Report("%s (see --help)", text::kNoCommand);
        return kSimExitUsage;
    }
    const std::string name = args.front();
    args.erase(args.begin());
    if (name == "--help" || name == "-h" || name == "/?") {
        fputs(text::kUsage, stdout);
        return kSimExitOk;
    }
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        if (args.size() < command.fewestArgs || args.size() > command.mostArgs) {
            if (command.usage)
                Report("%s (see --help)", command.usage);
            else
                Report(text::kNoArguments, command.name);
            return kSimExitUsage;
        }
        return command.run(args);
    }
    Report(text::kUnknownCommand, name.c_str());
    return kSimExitUsage;
}
