#pragma once

#include <stdint.h>

#include <string>

// A key as LIRC's clients read it: one line per frame,
//   <code> <repeat> <button> <remote>\n
// as lircd and WinLIRC write it: the code in 16 lowercase hex digits, the
// repeat count in lowercase hex of at least two digits.

// MaskCode as the library reads it: hexadecimal when it holds "0x" (in any
// case), else decimal; what strtol makes of the rest.
unsigned ParseMaskCode(const std::string& text);

// The frame's four bytes as the tuner received them. The library hands on
// the key code alone; the custom code is MaskCode's, as no frame of another
// remote passes it, and the fourth byte is the key's complement, as the
// remote sends it: MaskCode 0x40BF, key 0x12 make 40 BF 12 ED. With
// MaskCode 0 (every remote accepted), the custom code is unknown and the
// code reads 00 00 12 ED.
uint32_t FrameCode(unsigned maskCode, unsigned keyCode);

// The code as 16 lowercase hex digits: "0000000040bf12ed".
std::string LircCodeText(uint32_t frameCode);
std::string LircEventLine(uint32_t frameCode, unsigned repeat, const std::string& button,
                          const std::string& remote);

// The button of a key without a name: CODE_12 for 0x12. Stable, so that a
// client's configuration written for it keeps working.
std::string FallbackButtonName(unsigned keyCode);
