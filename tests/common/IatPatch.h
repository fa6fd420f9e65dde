#pragma once

#include <windows.h>

// Redirects one imported function of a loaded module by rewriting its import
// address table entry, and restores it on destruction. Lets tests fail a
// platform call without a seam in the shipped code.
class IatPatch {
public:
    IatPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~IatPatch();
    IatPatch(const IatPatch&) = delete;
    IatPatch& operator=(const IatPatch&) = delete;

    bool applied() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
