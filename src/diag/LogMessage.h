#pragma once

// Formats a message and hands it to logSink when its level is at most the
// sink's level. Returns 1 when the message was written, 0 otherwise.
int LogMessage(unsigned int level, const char* format, ...)
    __attribute__((format(ms_printf, 2, 3)));
