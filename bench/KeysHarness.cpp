#include "KeysHarness.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "Clock.h"
#include "ExeFolder.h"
#include "KeysApp.h"
#include "LinuxClock.h"
#include "Text.h"
#include "TunerState.h"
#include "halyard.h"

namespace bench {

const char kKeysMap[] = "[Custom]\r\nMaskCode=0\r\n[Keys]\r\n1 = F13\r\n2 = F14\r\n"
                        "[Keys:notepad.exe]\r\n1 = Space\r\n";
const char kBareWindowClass[] = "HalyardBenchBareWindow";

namespace {

const char* const kKeysFiles[] = {"\\halyard-keys.exe", "\\Halyard.dll", "\\halyard.ini"};
const DWORD kKeyGapMs = 5; // between the keys posted

struct WindowSearch {
    DWORD pid;
    const char* windowClass;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    char name[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && GetClassNameA(window, name, sizeof(name)) &&
        strcmp(name, search->windowClass) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring WideFromAnsi(const std::string& ansi)
{
    return Widen(Utf8FromAnsi(ansi));
}

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

// Private memory as Linux counts it for the process: the pages only it has,
// resident. Under Wine, GetProcessMemoryInfo answers 0 for another process's
// PrivateUsage, and committed regions count thread stacks whole, which
// Windows commits page by page.
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

bool WaitUntil(const std::function<bool()>& condition, DWORD ms)
{
    LONGLONG start = Qpc();
    while (Ms(start, Qpc()) < ms) {
        if (condition())
            return true;
        Sleep(10);
    }
    return condition();
}

HWND KeysWindow()
{
    return FindWindowA(KeysApp::kWindowClass, nullptr);
}

int KeysState()
{
    HWND window = KeysWindow();
    DWORD_PTR state = 0;
    if (!window || !SendMessageTimeoutA(window, KeysApp::StateMessage(), 0, 0, SMTO_ABORTIFHUNG,
                                        2000, &state))
        return -1;
    return static_cast<int>(state);
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

bool RunKeysFed(const KeysPaths& paths, HOOKPROC watch, int keys,
                const std::function<bool()>& ready)
{
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, watch, nullptr, GetCurrentThreadId());
    // The keys come from another thread, as the library's monitor posts
    // them, once halyard-keys listens.
    bool started = false;
    std::thread feeder([&] {
        started = WaitUntil([] { return KeysWindow() != nullptr; }, 10000) &&
                  WaitUntil(SimulatedTunerRead, 10000) && (!ready || ready());
        PostKeysThenClose(KeysWindow(), started ? keys : 0);
    });
    KeysApp app(paths);
    app.Run();
    feeder.join();
    if (hook)
        UnhookWindowsHookEx(hook);
    return started;
}

int FailSamples(FILE* out, const std::string& why)
{
    fprintf(out, "error %s\n", why.c_str());
    fclose(out);
    return 1;
}

int WriteSamples(FILE* out, const std::vector<double>& measured, int keys,
                 const std::string& shortfall)
{
    for (double ms : measured)
        fprintf(out, "%.6f\n", ms);
    if (measured.size() != static_cast<size_t>(keys))
        fprintf(out, "error %s %zu of %d keys\n", shortfall.c_str(), measured.size(), keys);
    fclose(out);
    return measured.size() == static_cast<size_t>(keys) ? 0 : 1;
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

bool InstallKeys(const std::string& folder, const std::string& map)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    return CopyFileA((ExeFolder() + "halyard-keys.exe").c_str(),
                     (folder + "\\halyard-keys.exe").c_str(), FALSE) &&
           CopyFileA((ExeFolder() + "sim\\Halyard.dll").c_str(),
                     (folder + "\\Halyard.dll").c_str(), FALSE) &&
           WriteFileText(folder + "\\halyard.ini", map.c_str());
}

void RemoveKeys(const std::string& folder)
{
    for (const char* name : kKeysFiles)
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

Child::Child(const std::string& exe, const std::string& arguments, const std::string& folder,
             const char* windowClass)
    : windowClass_(windowClass)
{
    std::string command = "\"" + exe + "\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process_))
        process_.hProcess = nullptr;
}

Child::~Child()
{
    if (!process_.hProcess)
        return;
    WindowSearch search = {process_.dwProcessId, windowClass_, nullptr};
    if (windowClass_)
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (!search.found || WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

double TaskSharePercent(const std::string& unixPid, double seconds)
{
    double task0 = TaskClockNs(unixPid);
    LONGLONG t0 = Qpc();
    Sleep(static_cast<DWORD>(seconds * 1000));
    double task1 = TaskClockNs(unixPid);
    if (task0 < 0 || task1 < 0)
        return -1;
    return (task1 - task0) / 1e6 / Ms(t0, Qpc()) * 100;
}

} // namespace bench
