#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "diag/LogSink.h"

// Records what the library writes; installed by tests only, since the
// library itself never installs a sink.
class TestLogSink : public LogSink {
public:
    explicit TestLogSink(unsigned int level, HRESULT levelResult = S_OK)
        : level_(level), levelResult_(levelResult)
    {
    }

    void Write(unsigned int level, const char* text) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        written_.emplace_back(level, text);
    }

    HRESULT GetLevel(unsigned int* level) override
    {
        *level = level_;
        return levelResult_;
    }

    std::vector<std::pair<unsigned int, std::string>> Written()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return written_;
    }

    bool Contains(unsigned int level, const std::string& text)
    {
        for (const auto& entry : Written()) {
            if (entry.first == level && entry.second == text)
                return true;
        }
        return false;
    }

private:
    unsigned int level_;
    HRESULT levelResult_;
    std::mutex mutex_;
    std::vector<std::pair<unsigned int, std::string>> written_;
};

// Installs a sink for one scope.
class ScopedLogSink {
public:
    explicit ScopedLogSink(LogSink* sink) { logSink = sink; }
    ~ScopedLogSink() { logSink = nullptr; }
};
