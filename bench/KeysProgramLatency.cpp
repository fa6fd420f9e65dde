// halyard-keys: a key's way through it, from its window's queue to the
// keystroke's SendInput, measured in a process of its own.

#include "KeysProgram.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "IatPatch.h"
#include "KeysHarness.h"
#include "halyard.h"

namespace bench {

namespace {

// The moments of the latency: a key taken from the queue (the hook), and
// the first SendInput after it returning (the import table entry).
std::atomic<LONGLONG> keyTaken{0};
std::vector<double>* samples = nullptr;
using SendInputFn = UINT(WINAPI*)(UINT, LPINPUT, int);
SendInputFn realSendInput = nullptr;

LRESULT CALLBACK OnGetMessage(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_REMOTE_CODE)
        keyTaken = Qpc();
    return CallNextHookEx(nullptr, code, removed, lParam);
}

UINT WINAPI TimedSendInput(UINT count, LPINPUT inputs, int size)
{
    UINT sent = realSendInput(count, inputs, size);
    LONGLONG taken = keyTaken.exchange(0);
    if (taken && samples)
        samples->push_back(Ms(taken, Qpc()));
    return sent;
}

} // namespace

int RunKeysLatency(int keys, const std::string& outPath)
{
    FILE* out = fopen(outPath.c_str(), "w");
    if (!out)
        return 1;
    std::string ini = TempPath("keys.ini");
    KeysPaths paths = BenchKeysPaths(ini);
    if (!WriteFileText(ini, kKeysMap))
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
        return FailSamples(out, "halyard-keys did not start listening (keys latency)");
    return WriteSamples(out, measured, keys, "halyard-keys sent keystrokes for");
}

void MeasureKeysProgramLatency(int keys, KeysProgramFigures& f, RunErrors& errors)
{
    f.keyMs = Summarise(RunSampler("--keys-latency", keys, errors));
}

} // namespace bench
