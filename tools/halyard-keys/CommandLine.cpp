#include "CommandLine.h"

bool ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error)
{
    *line = CommandLine();
    bool iniGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc && std::string(argv[i + 1]).compare(0, 2, "--") != 0;
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            line->help = true;
        } else if (arg == "--check") {
            if (line->check) {
                *error = "--check given twice";
                return false;
            }
            line->check = true;
            if (hasValue && !iniGiven) {
                line->iniPath = argv[++i];
                iniGiven = true;
            }
        } else if (arg == "--map-key") {
            line->mapKey = true;
        } else if (arg == "--setup") {
            line->setup = true;
        } else if (arg == "--ini") {
            if (iniGiven) {
                *error = "more than one INI file given";
                return false;
            }
            if (!hasValue || !*argv[i + 1]) {
                *error = "--ini needs a path";
                return false;
            }
            line->iniPath = argv[++i];
            iniGiven = true;
        } else if (arg.compare(0, 1, "-") == 0) {
            *error = "unknown option '" + arg + "'";
            return false;
        } else {
            *error = "unexpected argument '" + arg + "'";
            return false;
        }
    }
    if (line->check && (line->mapKey || line->setup)) {
        *error = std::string("--check and ") + (line->mapKey ? "--map-key" : "--setup") +
                 " do not go together";
        return false;
    }
    if (line->mapKey && line->setup) {
        *error = "--map-key and --setup do not go together";
        return false;
    }
    return true;
}
