#include "TraceCapture.h"

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

namespace {
TraceCapture* active = nullptr;
}

TraceCapture::TraceCapture()
{
    active = this;
    handle_ = AddVectoredExceptionHandler(1, Handler);
}

TraceCapture::~TraceCapture()
{
    RemoveVectoredExceptionHandler(handle_);
    active = nullptr;
}

LONG CALLBACK TraceCapture::Handler(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    TraceCapture* self = active;
    if (self) {
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
        // The length counts the terminating NUL.
        if (length && text[length - 1] == '\0')
            --length;
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->lines_.emplace_back(text, length);
    }
    // Handled: the debugger output goes no further.
    return EXCEPTION_CONTINUE_EXECUTION;
}

std::vector<std::string> TraceCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void TraceCapture::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}
