// halyard-keys: a key's way through it, from its window's queue to the
// keystroke's SendInput, measured in a process of its own.

#include "KeysProgram.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "IatPatch.h"
#include "KeysApp.h"
#include "KeysHarness.h"
#include "halyard.h"

namespace bench {

namespace {

const DWORD kKeyGapMs = 5;

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
    auto fail = [&](const std::string& why) {
        fprintf(out, "error %s\n", why.c_str());
        fclose(out);
        return 1;
    };
    std::string ini = TempPath("keys.ini");
    KeysPaths paths;
    paths.exe = WideFromAnsi(ExeFolder() + "halyard-bench.exe");
    paths.dll = ExeFolder() + "sim\\Halyard.dll";
    paths.ini.path = WideFromAnsi(ini);
    paths.ini.source = SettingsFile::Source::CommandLine;
    paths.libraryIni = ini;
    if (!WriteFileText(ini, kKeysMap))
        return fail("cannot write " + ini);

    IatPatch patch(GetModuleHandleA(nullptr), "user32.dll", "SendInput",
                   reinterpret_cast<void*>(TimedSendInput));
    if (!patch.applied()) {
        DeleteFileA(ini.c_str());
        return fail("SendInput is not in the benchmark's import table");
    }
    realSendInput = reinterpret_cast<SendInputFn>(patch.original());
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
    std::vector<double> measured;
    samples = &measured;

    // The keys come from another thread, as the library's monitor posts
    // them, once halyard-keys listens.
    bool started = false;
    std::thread feeder([&] {
        started = WaitUntil([] { return KeysWindow() != nullptr; }, 10000) &&
                  WaitUntil(SimulatedTunerRead, 10000);
        HWND window = KeysWindow();
        for (int i = 0; started && i < keys; ++i) {
            PostMessageA(window, WM_REMOTE_CODE, 0, 1 + i % 2);
            Sleep(kKeyGapMs);
        }
        Sleep(200);
        PostMessageA(window, WM_CLOSE, 0, 0);
    });
    KeysApp app(paths);
    app.Run();
    feeder.join();

    if (hook)
        UnhookWindowsHookEx(hook);
    samples = nullptr;
    DeleteFileA(ini.c_str());
    if (!started)
        return fail("halyard-keys did not start listening (keys latency)");
    for (double ms : measured)
        fprintf(out, "%.6f\n", ms);
    if (measured.size() != static_cast<size_t>(keys))
        return fail("halyard-keys sent " + std::to_string(measured.size()) + " of " +
                    std::to_string(keys) + " keystrokes");
    fclose(out);
    return 0;
}

void MeasureKeysProgramLatency(int keys, KeysProgramFigures& f, RunErrors& errors)
{
    std::string results = TempPath("latency.txt");
    std::string command = "\"" + ExeFolder() + "halyard-bench.exe\" --keys-latency " +
                          std::to_string(keys) + " \"" + results + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return Fail(errors, "cannot start halyard-bench.exe --keys-latency");
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        Fail(errors, "halyard-bench.exe --keys-latency did not end");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::vector<double> measured;
    if (FILE* in = fopen(results.c_str(), "r")) {
        char line[512];
        while (fgets(line, sizeof(line), in)) {
            double ms;
            if (strncmp(line, "error ", 6) == 0)
                Fail(errors, std::string(line + 6, strcspn(line + 6, "\r\n")));
            else if (sscanf(line, "%lf", &ms) == 1)
                measured.push_back(ms);
        }
        fclose(in);
    }
    DeleteFileA(results.c_str());
    f.keyMs = Summarise(measured);
}

} // namespace bench
