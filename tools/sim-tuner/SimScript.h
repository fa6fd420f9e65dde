#pragma once

// Key-press scripts (halyard-sim play, halyard-monitor --simulate) are text,
// one press per line:
//
//     <delay ms> <custom code> <key> [<fourth>]
//
// The delay is decimal milliseconds after the previous press (or the start of
// play); the custom code (up to four digits), the key and the fourth frame
// byte (up to two digits each) are hexadecimal, with or without a 0x prefix.
// The fourth byte defaults to the key's complement, as the NEC remote-control
// protocol sends it. '#' starts a comment that runs to the line's end; blank
// lines are ignored. Example, the key 0x12 half a second after the start:
//
//     500  40BF  12        # frame 40 BF 12 ED

#include <windows.h>

#include <string>
#include <vector>

namespace simtuner {

// One key press of a script.
struct Press {
    DWORD delayMs = 0; // after the previous press (or the start)
    WORD customCode = 0;
    BYTE key = 0;
    BYTE fourth = 0;
};

// One press from its fields without the delay: <custom code> <key> [<fourth>];
// on failure *error names the fault.
bool ParsePress(const std::vector<std::string>& fields, Press* press, std::string* error);
// A decimal count of milliseconds up to a day, as a script's delay.
bool ParseMilliseconds(const std::string& token, DWORD* ms);
// Parses a key-press script; on failure *error names the line and the fault.
bool ParseScript(const std::string& text, std::vector<Press>* presses, std::string* error);
bool LoadScript(const char* path, std::vector<Press>* presses, std::string* error);

} // namespace simtuner
