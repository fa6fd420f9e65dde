#include "LircEvent.h"

#include <stdio.h>
#include <stdlib.h>

unsigned ParseMaskCode(const std::string& text)
{
    bool hex = text.find("0x") != std::string::npos || text.find("0X") != std::string::npos;
    return static_cast<unsigned>(strtol(text.c_str(), nullptr, hex ? 16 : 10));
}

uint32_t FrameCode(unsigned maskCode, unsigned keyCode)
{
    uint32_t key = keyCode & 0xFF;
    return ((maskCode & 0xFFFFu) << 16) | (key << 8) | (~key & 0xFF);
}

std::string LircCodeText(uint32_t frameCode)
{
    char text[20];
    snprintf(text, sizeof(text), "%016x", static_cast<unsigned>(frameCode));
    return text;
}

std::string LircEventLine(uint32_t frameCode, unsigned repeat, const std::string& button,
                          const std::string& remote)
{
    char count[16];
    snprintf(count, sizeof(count), " %02x ", repeat);
    return LircCodeText(frameCode) + count + button + " " + remote + "\n";
}

std::string FallbackButtonName(unsigned keyCode)
{
    char name[16];
    snprintf(name, sizeof(name), "CODE_%02X", keyCode & 0xFF);
    return name;
}
