#pragma once

#include <windows.h>

// A destination for levelled messages. Only the first two entries of the
// table are ever called, in this order; a sink may have more after them.
struct LogSink {
    virtual void Write(unsigned int level, const char* text) = 0;
    virtual HRESULT GetLevel(unsigned int* level) = 0;

protected:
    ~LogSink() = default;
};

// Never assigned by this library: without a sink every LogMessage is dropped.
extern LogSink* logSink;
