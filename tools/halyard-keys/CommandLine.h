#pragma once

#include <string>

// The command line of halyard-keys.
struct CommandLine {
    bool help = false;
    bool check = false;
    bool mapKey = false; // open Map a key..., in the running instance if there is one
    bool setup = false;  // open Set up the remote..., likewise
    std::string iniPath; // as given (UTF-8; --ini, or --check's argument); empty for the default
};

// Strict: unknown, repeated or incomplete options and stray arguments are
// errors. On failure returns false with a one-line reason in *error.
bool ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error);
