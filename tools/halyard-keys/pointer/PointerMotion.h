#pragma once

#include <windows.h>

#include "PointerMover.h"
#include "PointerOutput.h"

// Moves the pointer about a hundred steps a second for as long as it is
// on, at PointerSpeed's pace, on a thread of its own: the remote's frames
// come at most four times a second, and the window's timers are as coarse
// as the system's tick. Each step goes as far as the time since the start
// says (sub-pixel remainders kept), so a late step catches up instead of
// slowing the pointer. The thread sleeps on an event while no key moves
// the pointer: idle, it costs nothing.
class PointerMotion : public PointerMover {
public:
    explicit PointerMotion(PointerOutput* output);
    ~PointerMotion() override;
    PointerMotion(const PointerMotion&) = delete;
    PointerMotion& operator=(const PointerMotion&) = delete;

    void Start(int dx, int dy) override;
    void Stop() override;
    bool moving() const;

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    // One step, if still moving; false when the movement ended.
    bool Step();

    PointerOutput* output_;
    mutable CRITICAL_SECTION lock_;
    HANDLE wake_ = nullptr;  // auto-reset: a start, a stop or the end
    HANDLE timer_ = nullptr; // the next step
    HANDLE thread_ = nullptr;
    // Under lock_:
    bool quit_ = false;
    bool moving_ = false;
    unsigned generation_ = 0; // a new start begins from the slow speed again
    int dx_ = 0, dy_ = 0;
    // The thread's own:
    unsigned running_ = 0; // the generation it moves
    LARGE_INTEGER start_ = {}, frequency_ = {};
    unsigned steps_ = 0;
    double gone_ = 0;    // pixels along the way so far
    double doneX_ = 0, doneY_ = 0; // whole pixels sent, each axis
};
