#include "LircCommands.h"

#include <string.h>

#include <vector>

#include "LircEvent.h"
#include "WinTypes.h"
#include "Strings.h"

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos)
            return words;
        size_t end = line.find_first_of(" \t", at);
        words.push_back(line.substr(at, end == std::string::npos ? end : end - at));
        at = end;
    }
}

std::string Block(const std::string& command, bool success, const std::vector<std::string>& data)
{
    std::string text = "BEGIN\n" + command + "\n" + (success ? "SUCCESS\n" : "ERROR\n");
    if (!data.empty()) {
        text += "DATA\n" + std::to_string(data.size()) + "\n";
        for (const std::string& line : data)
            text += line + "\n";
    }
    return text + "END\n";
}

std::string Error(const std::string& command, const std::string& why)
{
    return Block(command, false, {why});
}

bool IsHex(const std::string& text, size_t minDigits, size_t maxDigits)
{
    return text.size() >= minDigits && text.size() <= maxDigits &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

LircCommandResult List(const std::string& command, const std::vector<std::string>& words,
                       const LircCommandContext& context)
{
    if (words.size() == 1)
        return {Block(command, true, {context.remote}), ""};
    if (words[1] != context.remote)
        return {Error(command, strings::kLircUnknownRemote + words[1] + "\""), ""};
    std::vector<std::string> lines;
    for (unsigned code = 0; code < 256; ++code) {
        std::string name = context.nameOf ? context.nameOf(code) : std::string();
        if (name.empty() || (words.size() > 2 && name != words[2]))
            continue;
        lines.push_back(LircCodeText(FrameCode(context.maskCode, code)) + " " + name);
    }
    if (words.size() > 2 && lines.empty())
        return {Error(command, strings::kLircUnknownButton + words[2] + "\""), ""};
    return {Block(command, true, lines), ""};
}

LircCommandResult Simulate(const std::string& command, const std::vector<std::string>& words,
                           const LircCommandContext& context)
{
    if (!context.allowSimulate)
        return {Error(command, strings::kLircSimulateOff), ""};
    if (!context.fromLoopback)
        return {Error(command, strings::kLircSimulateLoopback), ""};
    if (words.size() != 5 || !IsHex(words[1], 16, 16) || !IsHex(words[2], 1, 8))
        return {Error(command, strings::kLircSimulateForm), ""};
    std::string event = words[1] + " " + words[2] + " " + words[3] + " " + words[4] + "\n";
    return {Block(command, true, {}), event};
}

} // namespace

LircCommandResult HandleLircCommand(const std::string& line, const LircCommandContext& context)
{
    std::vector<std::string> words = Words(line);
    if (words.empty())
        return {Error(line, strings::kLircBadPacket), ""};
    const std::string& verb = words[0];
    if (_stricmp(verb.c_str(), "VERSION") == 0)
        return {Block(line, true, {strings::kLircVersionPrefix + std::string(HALYARD_KEYS_VERSION)}), ""};
    if (_stricmp(verb.c_str(), "LIST") == 0)
        return List(line, words, context);
    if (_stricmp(verb.c_str(), "SIMULATE") == 0)
        return Simulate(line, words, context);
    if (_stricmp(verb.c_str(), "SEND_ONCE") == 0 || _stricmp(verb.c_str(), "SEND_START") == 0 ||
        _stricmp(verb.c_str(), "SEND_STOP") == 0 ||
        _stricmp(verb.c_str(), "SET_TRANSMITTERS") == 0)
        return {Error(line, strings::kLircNoTransmitter), ""};
    return {Error(line, strings::kLircUnknownDirective + verb + "\""), ""};
}

std::string LircSighupBlock()
{
    return "BEGIN\nSIGHUP\nEND\n";
}
