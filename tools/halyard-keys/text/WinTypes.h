#pragma once

// The few Windows types and names that the text logic (the settings file,
// the key map, the LIRC lines) shares with the rest of the program. On
// Windows they are windows.h's own; elsewhere, where that logic is built
// natively to be fuzzed and unit-tested under the sanitizers, the same sizes
// and values without the system.
#ifdef _WIN32
#include <windows.h>
#else
#include <stddef.h>
#include <stdint.h>
#include <strings.h>

typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;

#define CP_ACP 0
#define CP_UTF8 65001

inline int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }
inline int _strnicmp(const char* a, const char* b, size_t count)
{
    return strncasecmp(a, b, count);
}
#endif
