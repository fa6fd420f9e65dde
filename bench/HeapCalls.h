#pragma once

// Heap calls made by the library itself, counted through its import table.

#include <string>

#include "HostWindow.h"
#include "Library.h"
#include "Stats.h"

namespace bench {

struct HeapFigures {
    double callsPerPoll = 0;      // -1 when no poll happened
    unsigned calls = 0;           // over the polls
    unsigned polls = 0;           // the driver's Gets meanwhile
    unsigned callsInitUninit = 0; // in InitRemoteControl + UnInitRemoteControl
    std::string patched;          // the heap functions the library imports, patched
};

// polls frames (delivered, rejected and empty polls), counted over polls * 1.5
// poll periods.
void MeasureHeap(Library& lib, Host& host, int polls, HeapFigures& f, RunErrors& errors);

} // namespace bench
