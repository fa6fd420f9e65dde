#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Where actions end up: the system's input, its programs and its foreground
// (SystemInputSink), or a fake in tests. Each call is false, with *error,
// when the system refused.
class InputSink {
public:
    virtual ~InputSink() = default;
    virtual bool Send(const std::vector<INPUT>& inputs, std::string* error) = 0;
    virtual bool Run(const std::string& commandLine, std::string* error) = 0;
    virtual bool Show(const std::string& commandLine, std::string* error) = 0;
    // Releases those of keys that are still down.
    virtual void ReleaseIfDown(const std::vector<WORD>& keys) = 0;
};

class SystemInputSink : public InputSink {
public:
    bool Send(const std::vector<INPUT>& inputs, std::string* error) override;
    bool Run(const std::string& commandLine, std::string* error) override;
    bool Show(const std::string& commandLine, std::string* error) override;
    void ReleaseIfDown(const std::vector<WORD>& keys) override;
};
