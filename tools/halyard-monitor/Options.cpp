#include "Options.h"

#include <stdlib.h>
#include <string.h>

#include <errno.h>

namespace {

// The longest duration whose milliseconds still fit a signed 32-bit timer.
const double kMaxDurationSeconds = 2147483.0;

} // namespace

bool ParseDurationSeconds(const std::string& text, unsigned long* ms)
{
    if (text.empty())
        return false;
    // Digits and a point only: no sign, spaces, exponent or hex.
    for (char c : text)
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    errno = 0;
    char* end = nullptr;
    double seconds = strtod(text.c_str(), &end);
    if (errno || end != text.c_str() + text.size())
        return false;
    if (!(seconds > 0) || seconds > kMaxDurationSeconds)
        return false;
    unsigned long value = static_cast<unsigned long>(seconds * 1000.0 + 0.5);
    *ms = value ? value : 1;
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error)
{
    *options = Options();
    bool seenIni = false, seenDll = false, seenScript = false, seenDuration = false,
         seenLearn = false;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options->help = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            *error = "unexpected argument '" + arg + "'";
            return false;
        }

        // --name VALUE or --name=VALUE.
        std::string name = arg, value;
        bool inlineValue = false;
        size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            inlineValue = true;
        }

        if (name == "--learn") {
            if (inlineValue) {
                *error = "option --learn takes no value";
                return false;
            }
            if (seenLearn) {
                *error = "option --learn given twice";
                return false;
            }
            seenLearn = options->learn = true;
            continue;
        }

        bool* seen = nullptr;
        if (name == "--ini")
            seen = &seenIni;
        else if (name == "--dll")
            seen = &seenDll;
        else if (name == "--simulate")
            seen = &seenScript;
        else if (name == "--duration")
            seen = &seenDuration;
        else {
            *error = "unknown option '" + name + "'";
            return false;
        }
        if (*seen) {
            *error = "option " + name + " given twice";
            return false;
        }
        *seen = true;
        if (!inlineValue) {
            if (i + 1 >= argc) {
                *error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (value.empty()) {
            *error = "option " + name + " needs a value";
            return false;
        }

        if (name == "--ini")
            options->iniPath = value;
        else if (name == "--dll")
            options->dllPath = value;
        else if (name == "--simulate")
            options->scriptPath = value;
        else if (!ParseDurationSeconds(value, &options->durationMs)) {
            *error = "invalid --duration '" + value + "' (a positive number of seconds)";
            return false;
        }
    }
    return true;
}

const char* UsageText()
{
    return
        "Usage: halyard-monitor [options]\n"
        "\n"
        "Shows the key presses of a QBOX tuner's remote control as Halyard.dll\n"
        "delivers them: one line per key, local time, key code in hex and decimal.\n"
        "Runs until Ctrl+C, --duration, or the end of a --simulate script.\n"
        "\n"
        "Options:\n"
        "  --ini PATH          INI file passed to the library (default: halyard.ini\n"
        "                      beside this program, else %APPDATA%\\Halyard\\halyard.ini);\n"
        "                      [Custom] MaskCode selects the remote control, 0\n"
        "                      accepts all\n"
        "  --dll PATH          library to load (default: Halyard.dll beside this\n"
        "                      program; the current directory is never searched)\n"
        "  --duration SECONDS  stop after this many seconds (decimals allowed)\n"
        "  --learn             also show each frame's custom code and the INI lines\n"
        "                      that select that remote control\n"
        "  --simulate SCRIPT   load the simulation build (sim\\Halyard.dll beside this\n"
        "                      program, or --dll) and play the key presses of SCRIPT\n"
        "                      on its simulated tuner, instead of real hardware\n"
        "  --help, -h          show this help\n"
        "\n"
        "Exit codes:\n"
        "  0  success\n"
        "  1  usage error\n"
        "  2  library not found or failed to load\n"
        "  3  a function is missing from the library\n"
        "  4  no QBOX tuner found\n"
        "  5  the library failed to initialise\n"
        "  6  remote control already running in this process\n"
        "  7  COM initialisation failed\n"
        "  8  other failure (the error code is shown)\n"
        "  9  simulation script error, or the simulated tuner's queue refused it\n";
}
