#include "KeysProgram.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "TunerState.h"
#include "IatPatch.h"
#include "KeysApp.h"
#include "LinuxClock.h"
#include "Text.h"
#include "halyard.h"

namespace bench {

namespace {

// A map as a user has it: a section for a program too, so that every press
// asks which program is in front. F13 and F14 are keys no program acts on.
const char kMap[] = "[Custom]\r\nMaskCode=0\r\n[Keys]\r\n1 = F13\r\n2 = F14\r\n"
                    "[Keys:notepad.exe]\r\n1 = Space\r\n";
const DWORD kKeyGapMs = 5;

std::wstring WideFromAnsi(const std::string& ansi)
{
    return Widen(Utf8FromAnsi(ansi));
}

} // namespace

std::string TempPath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "halyard-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
           name;
}

bool WriteFileText(const std::string& path, const char* text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
    return ok && written == strlen(text);
}

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

bool SimulatedTunerRead()
{
    std::shared_ptr<simtuner::TunerState> tuner;
    std::string error;
    simtuner::TunerState::Status status;
    return simtuner::TunerState::OpenShared(false, &tuner, &error) ==
               simtuner::TunerState::OpenStatus::Ok &&
           tuner->GetStatus(&status) == simtuner::TunerState::Result::Ok && status.everRead &&
           status.msSinceRead < 1000;
}

namespace {

// Private memory as Linux counts it for the process: the pages only it has,
// resident. Under Wine, GetProcessMemoryInfo answers 0 for another process's
// PrivateUsage, and committed regions count thread stacks whole, which
// Windows commits page by page. -1 when unreadable.
double PrivateResidentMb(const std::string& pid)
{
    FILE* file = pid.empty() ? nullptr : fopen(("Z:\\proc\\" + pid + "\\smaps_rollup").c_str(), "r");
    if (!file)
        return -1;
    char line[256];
    double kb = 0;
    bool found = false;
    while (fgets(line, sizeof(line), file)) {
        double value;
        if (sscanf(line, "Private_Clean: %lf kB", &value) == 1 ||
            sscanf(line, "Private_Dirty: %lf kB", &value) == 1) {
            kb += value;
            found = true;
        }
    }
    fclose(file);
    return found ? kb / 1024 : -1;
}

const char kBareWindowClass[] = "HalyardBenchBareWindow";

// A program started for the measurement, in a folder of its own, ended
// through its window.
class Child {
public:
    Child(const std::string& exe, const std::string& arguments, const std::string& folder,
          const char* windowClass)
        : windowClass_(windowClass)
    {
        std::string command = "\"" + exe + "\"" + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process_))
            process_.hProcess = nullptr;
    }
    ~Child()
    {
        if (!process_.hProcess)
            return;
        HWND window = FindWindowA(windowClass_, nullptr);
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    HANDLE process() const { return process_.hProcess; }

private:
    const char* windowClass_;
    PROCESS_INFORMATION process_ = {};
};

double CpuMs(HANDLE process)
{
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user))
        return 0;
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 1e4;
}

} // namespace

bool WaitUntil(bool (*condition)(), DWORD ms)
{
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (condition())
            return true;
        Sleep(100);
    }
    return condition();
}

HWND KeysWindow()
{
    return FindWindowA(KeysApp::kWindowClass, nullptr);
}

KeysPaths BenchKeysPaths(const std::string& ini)
{
    KeysPaths paths;
    paths.exe = WideFromAnsi(ExeFolder() + "halyard-bench.exe");
    paths.dll = ExeFolder() + "sim\\Halyard.dll";
    paths.ini.path = WideFromAnsi(ini);
    paths.ini.source = SettingsFile::Source::CommandLine;
    paths.libraryIni = ini;
    return paths;
}

void PostKeysThenClose(HWND window, int keys)
{
    for (int i = 0; i < keys; ++i) {
        PostMessageA(window, WM_REMOTE_CODE, 0, 1 + i % 2);
        Sleep(kKeyGapMs);
    }
    Sleep(200);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

int WriteSamples(FILE* out, const std::vector<double>& measured, int keys,
                 const std::string& shortfall)
{
    for (double ms : measured)
        fprintf(out, "%.6f\n", ms);
    if (measured.size() != static_cast<size_t>(keys))
        fprintf(out, "error %s %zu of %d %s\n", shortfall.c_str(), measured.size(), keys,
                "keys");
    fclose(out);
    return measured.size() == static_cast<size_t>(keys) ? 0 : 1;
}

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
    KeysPaths paths = BenchKeysPaths(ini);
    if (!WriteFileText(ini, kMap))
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
        PostKeysThenClose(KeysWindow(), started ? keys : 0);
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
    return WriteSamples(out, measured, keys, "halyard-keys sent keystrokes for");
}

void MeasureKeysProgramLatency(int keys, KeysProgramFigures& f, RunErrors& errors)
{
    f.keyMs = Summarise(RunSampler("--keys-latency", keys, errors));
}

std::vector<double> RunSampler(const char* option, int keys, RunErrors& errors)
{
    std::string results = TempPath("latency.txt");
    std::string command = "\"" + ExeFolder() + "halyard-bench.exe\" " + option + " " +
                          std::to_string(keys) + " \"" + results + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Fail(errors, std::string("cannot start halyard-bench.exe ") + option);
        return {};
    }
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        Fail(errors, std::string("halyard-bench.exe ") + option + " did not end");
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
    return measured;
}

void MeasureKeysProgramIdle(double seconds, KeysProgramFigures& f, RunErrors& errors)
{
    // The program as users run it, in a folder of its own beside the
    // simulation build.
    std::string folder = TempPath("keys");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\halyard-keys.exe";
    if (!CopyFileA((ExeFolder() + "halyard-keys.exe").c_str(), exe.c_str(), FALSE) ||
        !CopyFileA((ExeFolder() + "sim\\Halyard.dll").c_str(), (folder + "\\Halyard.dll").c_str(),
                   FALSE) ||
        !WriteFileText(folder + "\\halyard.ini", kMap))
        return Fail(errors, "cannot set up halyard-keys in " + folder);
    std::string unique = folder.substr(folder.find_last_of('\\') + 1);
    {
        Child keys(exe, "", folder, KeysApp::kWindowClass);
        if (!keys.process())
            return Fail(errors, "cannot start " + exe);
        if (!WaitUntil(SimulatedTunerRead, 20000))
            return Fail(errors, "halyard-keys.exe did not start listening (idle cost)");
        Sleep(1000); // past its start
        std::string pid = FindUnixPid(unique);
        double cpu0 = CpuMs(keys.process()), task0 = TaskClockNs(pid);
        double main0 = MainThreadClockNs(pid);
        LONGLONG t0 = Qpc();
        Sleep(static_cast<DWORD>(seconds * 1000));
        double wallMs = Ms(t0, Qpc());
        double cpu1 = CpuMs(keys.process()), task1 = TaskClockNs(pid);
        double main1 = MainThreadClockNs(pid);
        f.idleSeconds = wallMs / 1000;
        f.cpuPercent = (cpu1 - cpu0) / wallMs * 100;
        if (task0 >= 0 && task1 >= 0)
            f.taskPercent = (task1 - task0) / 1e6 / wallMs * 100;
        if (main0 >= 0 && main1 >= 0)
            f.windowThreadPercent = (main1 - main0) / 1e6 / wallMs * 100;
        f.privateMb = PrivateResidentMb(pid);
    }
    // The floor: a bare Win32 program with a hidden window, in the same prefix.
    {
        std::string self = ExeFolder() + "halyard-bench.exe";
        Child bare(self, " --bare-window " + unique, folder, kBareWindowClass);
        for (int i = 0; i < 50 && !FindWindowA(kBareWindowClass, nullptr); ++i)
            Sleep(100);
        Sleep(1000);
        std::string pid = FindUnixPid("--bare-window " + unique);
        double task0 = TaskClockNs(pid);
        LONGLONG t0 = Qpc();
        Sleep(static_cast<DWORD>(seconds * 500));
        double task1 = TaskClockNs(pid);
        if (task0 >= 0 && task1 >= 0)
            f.floorTaskPercent = (task1 - task0) / 1e6 / Ms(t0, Qpc()) * 100;
        f.floorPrivateMb = PrivateResidentMb(pid);
    }
    for (const char* name : {"\\halyard-keys.exe", "\\Halyard.dll", "\\halyard.ini"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

int RunBareWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kBareWindowClass;
    RegisterClassA(&wc);
    if (!CreateWindowExA(0, kBareWindowClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                         wc.hInstance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE)
            break;
        DispatchMessageA(&msg);
    }
    return 0;
}

} // namespace bench
