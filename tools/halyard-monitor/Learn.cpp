#include "Learn.h"

#include <stdio.h>
#include <string.h>

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

namespace learn {

namespace {

const char kFramePrefix[] = "QBox remote code:0x";
const char kMismatchLine[] = "Custom code not match!";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int Likelihood(const FrameBytes& f)
{
    int score = 0;
    if (f[3] == static_cast<BYTE>(~f[2]))
        score += 2;
    if (f[1] == static_cast<BYTE>(~f[0]))
        score += 1;
    return score;
}

struct ListenerState {
    TraceListener::Sink sink = nullptr;
    void* context = nullptr;
};
ListenerState listener;

} // namespace

bool FrameTraceDigits(const std::string& line, std::string* digits)
{
    size_t start = line.find(kFramePrefix);
    if (start == std::string::npos)
        return false;
    start += sizeof(kFramePrefix) - 1;
    size_t end = line.find('!', start);
    if (end == std::string::npos)
        return false;
    *digits = line.substr(start, end - start);
    return true;
}

bool IsMaskMismatchLine(const std::string& line)
{
    return line.find(kMismatchLine) != std::string::npos;
}

std::string TraceDigits(const FrameBytes& frame)
{
    char text[16];
    snprintf(text, sizeof(text), "%X%X%X%X", frame[0], frame[1], frame[2], frame[3]);
    return text;
}

std::vector<FrameBytes> FrameCandidates(const std::string& digits)
{
    std::vector<FrameBytes> result;
    size_t n = digits.size();
    if (n < 4 || n > 8)
        return result;
    for (char c : digits)
        if (HexValue(c) < 0)
            return result;

    // Each byte takes one or two digits; try two first, left to right.
    for (int mask = 0; mask < 16; ++mask) {
        size_t lengths[4], total = 0;
        for (int i = 0; i < 4; ++i) {
            lengths[i] = (mask >> (3 - i)) & 1 ? 1 : 2;
            total += lengths[i];
        }
        if (total != n)
            continue;
        FrameBytes frame;
        size_t at = 0;
        bool ok = true;
        for (int i = 0; i < 4 && ok; ++i) {
            if (lengths[i] == 2) {
                if (digits[at] == '0') // %X never prints a leading zero
                    ok = false;
                else
                    frame[i] = static_cast<BYTE>(HexValue(digits[at]) * 16 + HexValue(digits[at + 1]));
            } else {
                frame[i] = static_cast<BYTE>(HexValue(digits[at]));
            }
            at += lengths[i];
        }
        if (ok)
            result.push_back(frame);
    }
    return result;
}

Decoded DecodeDigits(const std::string& digits)
{
    Decoded decoded;
    std::vector<FrameBytes> candidates = FrameCandidates(digits);
    if (candidates.empty())
        return decoded;

    int best = -1;
    for (const FrameBytes& frame : candidates) {
        int score = Likelihood(frame);
        if (score > best) {
            best = score;
            decoded.frame = frame;
        }
    }
    decoded.valid = true;
    for (const FrameBytes& frame : candidates) {
        WORD code = CustomCode(frame);
        if (Likelihood(frame) != best || code == CustomCode(decoded.frame))
            continue;
        bool listed = false;
        for (WORD other : decoded.otherCustomCodes)
            listed = listed || other == code;
        if (!listed)
            decoded.otherCustomCodes.push_back(code);
    }
    return decoded;
}

std::string Describe(const FrameBytes& frame, const std::vector<WORD>& otherCustomCodes)
{
    char text[160];
    WORD code = CustomCode(frame);
    snprintf(text, sizeof(text),
             "frame %02X %02X %02X %02X  custom code 0x%04X -> put in the INI file:  "
             "[Custom] / MaskCode=0x%04X",
             frame[0], frame[1], frame[2], frame[3], code, code);
    std::string result = text;
    if (!otherCustomCodes.empty()) {
        result += "  (trace text ambiguous; could also be";
        for (WORD other : otherCustomCodes) {
            snprintf(text, sizeof(text), " 0x%04X", other);
            result += text;
        }
        result += ")";
    }
    return result;
}

TraceListener::TraceListener(Sink sink, void* context)
{
    listener.sink = sink;
    listener.context = context;
    handle_ = AddVectoredExceptionHandler(1, Handler);
}

TraceListener::~TraceListener()
{
    if (handle_)
        RemoveVectoredExceptionHandler(handle_);
    listener = ListenerState();
}

LONG CALLBACK TraceListener::Handler(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    // The length counts the terminating NUL.
    if (length && text[length - 1] == '\0')
        --length;
    if (listener.sink)
        listener.sink(listener.context, text, length);
    // Handled: the line goes no further.
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace learn
