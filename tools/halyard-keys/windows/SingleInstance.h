#pragma once

#include <windows.h>

// One running instance per user session: a named mutex in the session's
// namespace, and the first instance's hidden window, found by its class, to
// tell it to show itself.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another instance of this session runs already.
    bool Acquire();

    // Posts "show yourself" to the first instance's window, waiting a little
    // for it to appear when that instance is still starting; false when it
    // never did.
    static bool ShowFirst(const char* windowClass, UINT showMessage, DWORD waitMs);

private:
    HANDLE mutex_ = nullptr;
};
