#pragma once

// What the measurements of halyard-keys share: its copy in a folder of its
// own beside the simulation build, the programs started for them, and the
// clocks and memory read of another process.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "KeysPaths.h"
#include "Stats.h"

namespace bench {

// A map as a user has it: a section for a program too, so that every press
// asks which program is in front. F13 and F14 are keys no program acts on.
extern const char kKeysMap[];
// The window class of halyard-bench.exe --bare-window.
extern const char kBareWindowClass[];

std::wstring WideFromAnsi(const std::string& ansi);
// A path in the temporary folder, unique to this process.
std::string TempPath(const char* name);
bool WriteFileText(const std::string& path, const char* text);
// Whether a host has read the session's simulated tuner in the last second.
bool SimulatedTunerRead();
// Private memory as Linux counts it for the process; -1 when unreadable.
double PrivateResidentMb(const std::string& pid);
// The process's CPU time (GetProcessTimes), in milliseconds.
double CpuMs(HANDLE process);
// Polls condition every 10 ms until it holds or ms have passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD ms);
HWND KeysWindow();
// halyard-keys' state as its window answers it (a MenuState::Mode), or -1.
int KeysState();

// halyard-keys' paths for a run in this process with ini, beside the
// simulation build.
KeysPaths BenchKeysPaths(const std::string& ini);
// keys remote keys posted to window, alternately two codes so that each is
// a new press, a key's gap apart; then WM_CLOSE.
void PostKeysThenClose(HWND window, int keys);
// halyard-keys' window run in this thread with watch hooked to its queue
// (WH_GETMESSAGE), while another thread waits until it listens and ready
// holds, then posts keys and closes it. Whether the keys were posted.
bool RunKeysFed(const KeysPaths& paths, HOOKPROC watch, int keys,
                const std::function<bool()>& ready = nullptr);
// "error WHY" to out, which it closes: the sampler's exit code.
int FailSamples(FILE* out, const std::string& why);
// The samples to out, which it closes; with fewer than keys, an error line
// that starts with shortfall. The program's exit code.
int WriteSamples(FILE* out, const std::vector<double>& measured, int keys,
                 const std::string& shortfall);
// Runs halyard-bench.exe OPTION KEYS FILE (a measurement in a process of
// its own) and returns the samples it wrote; its errors go to errors.
std::vector<double> RunSampler(const char* option, int keys, RunErrors& errors);

// halyard-keys.exe, the simulation build and the map in a folder of their
// own, as users run it; Remove deletes them again.
bool InstallKeys(const std::string& folder, const std::string& map = kKeysMap);
void RemoveKeys(const std::string& folder);

// A program started for a measurement, in a folder of its own, ended
// through a window of windowClass (or, with none, terminated).
class Child {
public:
    Child(const std::string& exe, const std::string& arguments, const std::string& folder,
          const char* windowClass);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    HANDLE process() const { return process_.hProcess; }
    DWORD pid() const { return process_.dwProcessId; }

private:
    const char* windowClass_;
    PROCESS_INFORMATION process_ = {};
};

// Linux's task clock of a Wine process over seconds, as a share of one
// core in percent; -1 when it cannot be read.
double TaskSharePercent(const std::string& unixPid, double seconds);

} // namespace bench
