#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "Notices.h"

// A process's rights as input reaching it depends on them.
struct ProcessRights {
    bool known = false; // false: its token could not be read
    TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
    DWORD integrity = 0; // the mandatory label's RID: SECURITY_MANDATORY_MEDIUM_RID...
};

// Whether Windows drops the input that a process of own sends to one of
// target: the target's integrity is higher (the system's rule), or the
// target is elevated and own is not (Wine labels both High, but the
// elevation still tells them apart). Unknown rights outrank nothing: input
// is sent as it always was.
bool Outranks(const ProcessRights& target, const ProcessRights& own);

ProcessRights RightsOfProcess(HANDLE process);

// Asks, before a keystroke or a click goes out, whether the program in front
// would get it; tells the user once per program and run when it would not.
class ForegroundRights {
public:
    explicit ForegroundRights(Notices* notices);
    // The file name of the program in front ("vlc.exe") when it outranks
    // this one; empty when the input can go.
    std::string Unreachable();

private:
    Notices* notices_;
    ProcessRights own_;
    std::set<std::string> told_; // in lower case
};
