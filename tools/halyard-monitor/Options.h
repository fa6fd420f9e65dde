#pragma once

#include <string>

// The command line of halyard-monitor.
struct Options {
    bool help = false;
    bool learn = false;
    std::string iniPath;      // as given; empty for the default beside the tool
    std::string dllPath;      // as given; empty for Halyard.dll beside the tool
    std::string scriptPath;   // --simulate; empty when not simulating
    unsigned long durationMs = 0; // 0: until Ctrl+C (or the end of a simulation)
};

// Parses argv strictly: unknown options, repeated options, missing or
// malformed values and stray arguments are errors. On failure returns false
// and *error holds a one-line reason.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// Parses a positive number of seconds (decimals allowed, at most 24 days) to
// milliseconds.
bool ParseDurationSeconds(const std::string& text, unsigned long* ms);

// The text of --help.
const char* UsageText();
