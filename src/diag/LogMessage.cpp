#include "LogMessage.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "LogSink.h"

LogSink* logSink = nullptr;

int LogMessage(unsigned int level, const char* format, ...)
{
    LogSink* sink = logSink;
    if (!sink)
        return 0;

    unsigned int sinkLevel = 0;
    if (FAILED(sink->GetLevel(&sinkLevel)))
        return 0;
    if (level > sinkLevel)
        return 0;

    char text[4096];
    memset(text, 0, sizeof(text));
    va_list args;
    va_start(args, format);
    // _vsnprintf leaves no NUL when the text fills the buffer; the last byte
    // stays zero from the fill.
    _vsnprintf(text, sizeof(text) - 1, format, args);
    va_end(args);

    sink->Write(level, text);
    return 1;
}
