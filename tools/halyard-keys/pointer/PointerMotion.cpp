#include "PointerMotion.h"

#include <initializer_list>

#include "PointerSpeed.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// A diagonal goes as fast as a straight move, not 1.41 times faster.
const double kDiagonal = 0.70710678;

HANDLE StepTimer()
{
    // Since Windows 10 1803 a timer can be finer than the system's tick
    // (15.6 ms by default); older systems step at the tick, which the
    // time-based steps make up for.
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
    return timer ? timer : CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

} // namespace

PointerMotion::PointerMotion(PointerOutput* output) : output_(output)
{
    InitializeCriticalSection(&lock_);
    QueryPerformanceFrequency(&frequency_);
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    timer_ = StepTimer();
}

PointerMotion::~PointerMotion()
{
    EnterCriticalSection(&lock_);
    quit_ = true;
    moving_ = false;
    LeaveCriticalSection(&lock_);
    if (thread_) {
        SetEvent(wake_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    for (HANDLE handle : {wake_, timer_})
        if (handle)
            CloseHandle(handle);
    DeleteCriticalSection(&lock_);
}

void PointerMotion::Start(int dx, int dy)
{
    if (!wake_ || !timer_)
        return;
    EnterCriticalSection(&lock_);
    moving_ = true;
    generation_++;
    dx_ = dx;
    dy_ = dy;
    LeaveCriticalSection(&lock_);
    // The thread comes with the first move, not with the program.
    if (!thread_)
        thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    SetEvent(wake_);
}

void PointerMotion::Stop()
{
    EnterCriticalSection(&lock_);
    bool was = moving_;
    moving_ = false;
    LeaveCriticalSection(&lock_);
    if (was)
        SetEvent(wake_);
}

bool PointerMotion::moving() const
{
    EnterCriticalSection(&lock_);
    bool moving = moving_;
    LeaveCriticalSection(&lock_);
    return moving;
}

DWORD WINAPI PointerMotion::ThreadMain(void* self)
{
    static_cast<PointerMotion*>(self)->Run();
    return 0;
}

void PointerMotion::Run()
{
    HANDLE both[] = {wake_, timer_};
    while (true) {
        EnterCriticalSection(&lock_);
        bool quit = quit_, moving = moving_;
        LeaveCriticalSection(&lock_);
        if (quit)
            return;
        if (!moving) {
            CancelWaitableTimer(timer_);
            running_ = 0;
            WaitForSingleObject(wake_, INFINITE);
            continue;
        }
        if (!Step())
            continue;
        // The next step at its place on the grid from the start, however
        // late this one was.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        double nextMs = static_cast<double>(steps_ + 1) * pointer_speed::kStepMs;
        double nowMs = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
                       static_cast<double>(frequency_.QuadPart);
        if (nextMs < nowMs)
            steps_ = static_cast<unsigned>(nowMs / pointer_speed::kStepMs);
        double dueMs = static_cast<double>(steps_ + 1) * pointer_speed::kStepMs - nowMs;
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(dueMs * 10000.0); // relative, in 100 ns
        if (due.QuadPart == 0)
            due.QuadPart = -1;
        SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
        WaitForMultipleObjects(2, both, FALSE, INFINITE);
    }
}

// Under the lock, so that once Stop has returned no move follows it.
bool PointerMotion::Step()
{
    EnterCriticalSection(&lock_);
    if (!moving_ || quit_) {
        LeaveCriticalSection(&lock_);
        return false;
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (running_ != generation_) {
        // A new press: from the slow speed, where the pointer is now.
        running_ = generation_;
        start_ = now;
        steps_ = 0;
        gone_ = doneX_ = doneY_ = 0;
        LeaveCriticalSection(&lock_);
        return true;
    }
    steps_++;
    double heldMs = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
                    static_cast<double>(frequency_.QuadPart);
    gone_ = pointer_speed::DistanceAt(heldMs);
    double along = dx_ && dy_ ? gone_ * kDiagonal : gone_;
    double wantX = along * dx_, wantY = along * dy_;
    int x = static_cast<int>(wantX - doneX_), y = static_cast<int>(wantY - doneY_);
    if (x || y) {
        output_->MoveBy(x, y);
        doneX_ += x;
        doneY_ += y;
    }
    LeaveCriticalSection(&lock_);
    return true;
}
