#include "DebugTrace.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

void DebugTrace(const char* format, ...)
{
    char text[1024];
    memset(text, 0, sizeof(text));
    va_list args;
    va_start(args, format);
    // The last byte stays zero from the fill, also when the text is cut.
    _vsnprintf(text, sizeof(text) - 1, format, args);
    va_end(args);
    OutputDebugStringA(text);
}
