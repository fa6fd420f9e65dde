// halyard-keys' sequences, modes and pointer, measured.

#include "KeysActions.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "IatPatch.h"
#include "KeysApp.h"
#include "KeysHarness.h"
#include "LinuxClock.h"
#include "PointerMotion.h"
#include "halyard.h"

namespace bench {

namespace {

// Ten combinations no program acts on, for both codes the harness posts.
const char kSequenceMap[] =
    "[Custom]\r\nMaskCode=0\r\n[Keys]\r\n"
    "1 = F13, F14, F15, F16, F17, F18, F19, F20, F21, Shift+F22\r\n"
    "2 = F13, F14, F15, F16, F17, F18, F19, F20, F21, Shift+F22\r\n"
    "[Keys:notepad.exe]\r\n1 = Space\r\n";
const int kSequenceSteps = 10;
// A mode on from the start, its section beside [Keys].
const char kModeMap[] = "[Custom]\r\nMaskCode=0\r\n[Keys]\r\n1 = F13\r\n2 = mode: Mouse\r\n"
                        "[Mode:Mouse]\r\n1 = mouse: right\r\n2 = mode: off\r\n"
                        "[Options]\r\nStartMode=Mouse\r\n";

std::atomic<LONGLONG> keyTaken{0};
int sent = 0; // SendInput calls since the key was taken
std::vector<double>* samples = nullptr;
using SendInputFn = UINT(WINAPI*)(UINT, LPINPUT, int);
SendInputFn realSendInput = nullptr;

LRESULT CALLBACK OnGetMessage(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_REMOTE_CODE) {
        keyTaken = Qpc();
        sent = 0;
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}

UINT WINAPI TimedSendInput(UINT count, LPINPUT inputs, int size)
{
    UINT result = realSendInput(count, inputs, size);
    LONGLONG taken = keyTaken;
    if (taken && ++sent == kSequenceSteps && samples) {
        samples->push_back(Ms(taken, Qpc()));
        keyTaken = 0;
    }
    return result;
}

// The system's pointer, each step's moment written down.
class TimedOutput : public PointerOutput {
public:
    std::vector<LONGLONG> steps;
    void MoveBy(int dx, int dy) override
    {
        cursor_.MoveBy(dx, dy);
        steps.push_back(Qpc());
    }

private:
    SystemPointerOutput cursor_;
};

// The floor: what moving the system's pointer 100 times a second costs
// anyone, a thread on a 10 ms waitable timer that reads the pointer and
// puts it one pixel on, for ms.
void BarePointerSteps(DWORD ms)
{
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* high resolution */,
                                          TIMER_ALL_ACCESS);
    if (!timer)
        timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -100000; // 10 ms
    SetWaitableTimer(timer, &due, 10, nullptr, nullptr, FALSE);
    for (DWORD steps = 0; steps < ms / 10; ++steps) {
        WaitForSingleObject(timer, INFINITE);
        POINT at;
        GetCursorPos(&at);
        SetCursorPos(at.x + 1, at.y);
    }
    CloseHandle(timer);
}

DWORD WINAPI BarePointerThread(void* ms)
{
    BarePointerSteps(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(ms)));
    return 0;
}

} // namespace

int RunKeysSequence(int keys, const std::string& outPath)
{
    FILE* out = fopen(outPath.c_str(), "w");
    if (!out)
        return 1;
    std::string ini = TempPath("sequence.ini");
    KeysPaths paths = BenchKeysPaths(ini);
    if (!WriteFileText(ini, kSequenceMap))
        return FailSamples(out, "cannot write " + ini);
    IatPatch patch(GetModuleHandleA(nullptr), "user32.dll", "SendInput",
                   reinterpret_cast<void*>(TimedSendInput));
    if (!patch.applied()) {
        DeleteFileA(ini.c_str());
        return FailSamples(out, "SendInput is not in the benchmark's import table");
    }
    realSendInput = reinterpret_cast<SendInputFn>(patch.original());
    std::vector<double> measured;
    samples = &measured;
    bool started = RunKeysFed(paths, OnGetMessage, keys);
    samples = nullptr;
    DeleteFileA(ini.c_str());
    if (!started)
        return FailSamples(out, "halyard-keys did not start listening (sequence latency)");
    return WriteSamples(out, measured, keys, "halyard-keys sent whole sequences for");
}

void MeasureSequenceLatency(int keys, KeysActionFigures& f, RunErrors& errors)
{
    f.sequenceMs = Summarise(RunSampler("--keys-sequence", keys, errors));
}

void MeasureModeIdle(double seconds, KeysActionFigures& f, RunErrors& errors)
{
    std::string folder = TempPath("keys-mode");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\halyard-keys.exe";
    if (!InstallKeys(folder, kModeMap))
        return Fail(errors, "cannot set up halyard-keys in " + folder);
    {
        Child keys(exe, "", folder, KeysApp::kWindowClass);
        if (!keys.process())
            return Fail(errors, "cannot start " + exe);
        if (!WaitUntil(SimulatedTunerRead, 20000))
            return Fail(errors, "halyard-keys.exe did not start listening (mode idle)");
        Sleep(1000); // past its start
        f.modeIdleSeconds = seconds;
        f.modeIdleTaskPercent =
            TaskSharePercent(FindUnixPid(folder.substr(folder.find_last_of('\\') + 1)), seconds);
    }
    RemoveKeys(folder);
}

void MeasurePointer(double seconds, const std::string& unixPid, KeysActionFigures& f,
                    RunErrors& errors)
{
    TimedOutput output;
    output.steps.reserve(static_cast<size_t>(seconds * 200) + 100);
    POINT before;
    GetCursorPos(&before);
    SetCursorPos(0, 300);
    {
        PointerMotion motion(&output);
        // The thread comes with the first move: "before" is the program
        // before any key moved the pointer.
        f.pointerIdleBeforePercent = TaskSharePercent(unixPid, 2);
        LONGLONG start = Qpc();
        motion.Start(1, 0);
        f.pointerMovingPercent = TaskSharePercent(unixPid, seconds);
        motion.Stop();
        f.pointerSeconds = seconds;
        f.pointerIdleAfterPercent = TaskSharePercent(unixPid, 2);
        std::vector<double> periods;
        for (size_t i = 1; i < output.steps.size(); ++i) {
            if (Ms(start, output.steps[i - 1]) >= 300)
                periods.push_back(Ms(output.steps[i - 1], output.steps[i]));
        }
        f.pointerStepMs = Summarise(periods);
        if (periods.size() < 10)
            Fail(errors, "the pointer hardly moved (" + std::to_string(periods.size()) + " steps)");
    }
    SetCursorPos(0, 300);
    HANDLE bare = CreateThread(nullptr, 0, BarePointerThread,
                               reinterpret_cast<void*>(static_cast<UINT_PTR>(seconds * 1000)), 0,
                               nullptr);
    f.pointerFloorPercent = TaskSharePercent(unixPid, seconds);
    WaitForSingleObject(bare, INFINITE);
    CloseHandle(bare);
    SetCursorPos(before.x, before.y);
}

std::string KeysActionsJson(const KeysActionFigures& f)
{
    char text[768];
    snprintf(text, sizeof(text),
             "\"sequence_of_ten_to_last_sendinput_ms\": {\"median\": %.4f, \"max\": %.4f, "
             "\"n\": %zu}, \"mode_on_idle_cpu_percent_task_clock\": %.5f, "
             "\"pointer_step_ms\": {\"median\": %.4f, \"max\": %.4f, \"n\": %zu}, "
             "\"pointer_moving_cpu_percent_task_clock\": %.4f, "
             "\"pointer_floor_cpu_percent_task_clock\": %.4f, "
             "\"pointer_idle_before_cpu_percent_task_clock\": %.5f, "
             "\"pointer_idle_after_cpu_percent_task_clock\": %.5f",
             f.sequenceMs.median, f.sequenceMs.max, f.sequenceMs.n, f.modeIdleTaskPercent,
             f.pointerStepMs.median, f.pointerStepMs.max, f.pointerStepMs.n,
             f.pointerMovingPercent, f.pointerFloorPercent, f.pointerIdleBeforePercent, f.pointerIdleAfterPercent);
    return text;
}

} // namespace bench
