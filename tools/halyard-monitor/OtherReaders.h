#pragma once

#include <windows.h>

#include <vector>

#include "ReaderWatch.h"
#include "SystemProcesses.h"

// Tells the developer when another program reads the tuner beside this one
// (a TV program, halyard-keys): keys are then shared between the two, and
// the ones that seem lost went to the other.
class OtherReaders {
public:
    OtherReaders();
    OtherReaders(const OtherReaders&) = delete;
    OtherReaders& operator=(const OtherReaders&) = delete;

    // Prints a line for each reader that came or went since the last call;
    // the first call names those that read already. About once a second.
    void Poll(DWORD now);

private:
    SystemProcesses processes_;
    ReaderWatch watch_;
    std::vector<Reader> told_;
    DWORD last_ = 0;
    bool polled_ = false;
};
