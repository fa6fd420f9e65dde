#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

// Learn mode: turns the library's frame trace lines into the custom code of
// the remote control that sent them, and the INI lines that select it.
//
// The library traces each frame as "QBox remote code:0x%X%X%X%X!", every
// byte without leading zeros, so one text can stand for several frames
// (40BF1ED is 40 BF 1 ED or 40 BF 1E D). The decoder lists
// every frame the text can come from (a two-digit byte never starts with 0)
// and prefers the one that carries the usual NEC checks (fourth byte = key
// inverted, then low custom byte = high custom byte inverted); ties keep the
// split with the longest leading bytes, and any other custom code still
// possible is reported as an alternative.
namespace learn {

using FrameBytes = std::array<BYTE, 4>; // custom code high, low, key, fourth

// The hex digits of a frame trace line; false for any other line.
bool FrameTraceDigits(const std::string& line, std::string* digits);
// True for the library's "custom code differs from MaskCode" trace line.
bool IsMaskMismatchLine(const std::string& line);

// The digits as the library prints the frame.
std::string TraceDigits(const FrameBytes& frame);

// Every frame that prints as these digits, longest leading bytes first.
std::vector<FrameBytes> FrameCandidates(const std::string& digits);

struct Decoded {
    bool valid = false;               // the digits fit no frame at all when false
    FrameBytes frame = {};            // the most likely frame
    std::vector<WORD> otherCustomCodes; // also possible, as likely as the choice
};
Decoded DecodeDigits(const std::string& digits);

inline WORD CustomCode(const FrameBytes& frame)
{
    return static_cast<WORD>((frame[0] << 8) | frame[1]);
}

// "frame 40 BF 12 ED  custom code 0x40BF -> put in the INI file:  [Custom] / MaskCode=0x40BF"
std::string Describe(const FrameBytes& frame, const std::vector<WORD>& otherCustomCodes);

// Captures the process's debugger output while it exists: OutputDebugStringA
// raises DBG_PRINTEXCEPTION_C first, which a vectored handler sees on the
// raising thread and marks handled. One listener at a time.
class TraceListener {
public:
    using Sink = void (*)(void* context, const char* text, size_t length);
    TraceListener(Sink sink, void* context);
    ~TraceListener();
    TraceListener(const TraceListener&) = delete;
    TraceListener& operator=(const TraceListener&) = delete;
    bool installed() const { return handle_ != nullptr; }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    PVOID handle_ = nullptr;
};

} // namespace learn
