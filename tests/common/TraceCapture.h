#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

// Captures the process's debugger output: OutputDebugStringA raises
// DBG_PRINTEXCEPTION_C first, and a vectored handler sees it on every thread.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> Lines() const;
    void Clear();

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    PVOID handle_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
