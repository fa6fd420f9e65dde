// halyard-monitor: a console host for Halyard.dll that prints the remote
// control's keys as they arrive. Exit codes are in ExitCodes.h and --help.

#include <windows.h>

#include <objbase.h>
#include <stdio.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "AnsiPath.h"
#include "ExitCodes.h"
#include "HalyardLibrary.h"
#include "HostMessages.h"
#include "HostPaths.h"
#include "HostWindow.h"
#include "KeyMapFile.h"
#include "Learn.h"
#include "OtherReaders.h"
#include "Options.h"
#include "SettingsFile.h"
#include "ScriptPlayer.h"
#include "SimScript.h"
#include "TunerState.h"
#include "Utf8.h"
#include "halyard.h"

namespace {

const char kTool[] = "halyard-monitor";
// After a simulation script has played, keys still in flight get this long.
const DWORD kSimulationGraceMs = 600;
// ... and no more than this, should the driver never be read again.
const DWORD kSimulationGraceMaxMs = 3000;

void Fail(const char* format, const std::string& detail)
{
    fprintf(stderr, "%s: ", kTool);
    fprintf(stderr, format, detail.c_str());
    fputc('\n', stderr);
    fflush(stderr);
}

// A path from the command line (UTF-8), made absolute, as the ANSI calls and
// the library take it: its short form where it has characters outside the
// ANSI code page.
bool AnsiFullPath(const std::string& utf8, std::string* ansi)
{
    std::wstring full;
    return FullPath(Widen(utf8), &full) && AnsiPathFor(full, ansi);
}

std::string TimeStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    snprintf(text, sizeof(text), "%02u:%02u:%02u.%03u", now.wHour, now.wMinute, now.wSecond,
             now.wMilliseconds);
    return text;
}

// Ctrl+C, Ctrl+Break and closing the console stop the monitor on the main
// thread; for a close, the handler waits for the clean-up to finish.
HostWindow* stopWindow = nullptr;
HANDLE cleanedUp = nullptr;

BOOL WINAPI ConsoleHandler(DWORD event)
{
    if (stopWindow)
        stopWindow->RequestStop();
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(cleanedUp, 4000);
    return TRUE;
}

void TraceToWindow(void* context, const char* text, size_t length)
{
    static_cast<HostWindow*>(context)->PostTrace(text, length);
}

int InitFailureExit(HRESULT hr, const std::string& dllPath)
{
    Fail("%s", InitFailureText(hr, dllPath));
    if (hr == E_FAIL)
        return kExitNoTuner;
    if (hr == E_POINTER)
        return kExitLibraryBroken;
    if (hr == HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED))
        return kExitAlreadyRunning;
    return kExitOtherFailure;
}

struct Session {
    unsigned long keys = 0;
    KeyMap names; // the settings file's [Names], to print a button's name by its code
    bool learn = false;
    // The simulation's frames not yet seen in the trace, in the order played.
    std::deque<learn::FrameBytes> played;
};

void PrintKey(Session* session, LPARAM key)
{
    ++session->keys;
    unsigned value = static_cast<unsigned>(key);
    std::string name = session->names.NameOf(value);
    printf("%s  key 0x%02X (%u)%s%s\n", TimeStamp().c_str(), value, value, name.empty() ? "" : "  ",
           name.c_str());
    fflush(stdout);
}

// A simulation knows the exact frame behind a trace line: frames are read in
// the order played, so it is the first one still unseen that prints alike.
// Those before it went to another reader of the simulated tuner.
bool PlayedFrame(std::deque<learn::FrameBytes>* played, const std::string& digits,
                 learn::FrameBytes* frame)
{
    for (auto it = played->begin(); it != played->end(); ++it) {
        if (learn::TraceDigits(*it) == digits) {
            *frame = *it;
            played->erase(played->begin(), it + 1);
            return true;
        }
    }
    return false;
}

void PrintTrace(Session* session, const std::string& line)
{
    std::string digits;
    if (learn::FrameTraceDigits(line, &digits)) {
        learn::FrameBytes frame;
        std::vector<WORD> others;
        if (!PlayedFrame(&session->played, digits, &frame)) {
            learn::Decoded decoded = learn::DecodeDigits(digits);
            if (!decoded.valid) {
                printf("%s  frame 0x%s (not a frame trace I can read)\n", TimeStamp().c_str(),
                       digits.c_str());
                fflush(stdout);
                return;
            }
            frame = decoded.frame;
            others = decoded.otherCustomCodes;
        }
        printf("%s  %s\n", TimeStamp().c_str(), learn::Describe(frame, others).c_str());
    } else if (learn::IsMaskMismatchLine(line)) {
        printf("%s  (key dropped: the custom code differs from MaskCode in the INI file)\n",
               TimeStamp().c_str());
    } else {
        return;
    }
    fflush(stdout);
}

int Run(const Options& options)
{
    std::string folder = ProgramFolder();
    std::string dllPath, iniPath;
    std::wstring settingsPath; // the default settings file
    // A simulation runs the simulation build, in its folder beside the tool.
    const bool simulate = !options.scriptPath.empty();
    std::string defaultDll = folder + (simulate ? "sim\\Halyard.dll" : "Halyard.dll");
    if (options.dllPath.empty() ? !FullPath(defaultDll, &dllPath)
                                : !AnsiFullPath(options.dllPath, &dllPath)) {
        Fail("invalid --dll path '%s'", options.dllPath);
        return kExitUsage;
    }
    if (options.iniPath.empty()) {
        // Where halyard-keys finds it (SettingsFile.h); the library takes an
        // ANSI path.
        SettingsFile settings = FindSettingsFile(std::wstring(), ProgramFolderWide(),
                                                 UserAppDataFolder());
        settingsPath = settings.path;
        if (!AnsiPathFor(settings.path, &iniPath))
            Fail("%s", "note: the INI file's path has characters outside the system's code "
                       "page and no short form, so the library cannot open it; MaskCode 0 "
                       "applies (keys of every remote control)");
    } else if (!AnsiFullPath(options.iniPath, &iniPath)) {
        Fail("invalid --ini path '%s'", options.iniPath);
        return kExitUsage;
    }

    std::vector<simtuner::Press> presses;
    std::shared_ptr<simtuner::TunerState> queue;
    if (simulate) {
        std::string error;
        std::string scriptPath;
        if (!AnsiFullPath(options.scriptPath, &scriptPath))
            scriptPath = options.scriptPath;
        if (!simtuner::LoadScript(scriptPath.c_str(), &presses, &error)) {
            Fail("simulation script %s", options.scriptPath + ": " + error);
            return kExitSimulation;
        }
        if (simtuner::TunerState::OpenShared(true, &queue, &error) !=
            simtuner::TunerState::OpenStatus::Ok) {
            Fail("%s", error);
            return kExitSimulation;
        }
    }

    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        Fail("%s", ComInitFailureText(hr));
        return kExitComInit;
    }
    struct ComScope {
        ~ComScope() { CoUninitialize(); }
    } comScope;

    HalyardLibrary library;
    std::string error;
    switch (library.Load(dllPath, &error)) {
    case HalyardLibrary::Status::Ok:
        break;
    case HalyardLibrary::Status::LoadFailed:
        Fail("%s", error);
        return kExitLibraryLoad;
    case HalyardLibrary::Status::ExportMissing:
        Fail("%s", error);
        return kExitExportMissing;
    }

    if (!iniPath.empty() && GetFileAttributesA(iniPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        Fail("note: %s not found; MaskCode 0 applies (keys of every remote control)", iniPath);

    Session session;
    session.learn = options.learn;
    // The names, as halyard-keys reads them: a file that cannot be read
    // names nothing, and a bad line is left out.
    std::string ignored;
    LoadKeyMapFile(options.iniPath.empty() ? settingsPath : Widen(options.iniPath),
                   &session.names, &ignored);
    DWORD startedAt = GetTickCount();
    DWORD scriptDoneAt = 0;
    bool scriptDone = false;
    std::unique_ptr<simtuner::ScriptPlayer> player;
    std::unique_ptr<OtherReaders> otherReaders; // from the start of listening

    HostWindow::Callbacks callbacks;
    callbacks.onKey = [&session](LPARAM key) { PrintKey(&session, key); };
    callbacks.onTrace = [&session](const std::string& line) { PrintTrace(&session, line); };
    callbacks.onTick = [&]() {
        DWORD now = GetTickCount();
        if (otherReaders)
            otherReaders->Poll(now);
        if (options.durationMs)
            return now - startedAt < options.durationMs;
        if (!player)
            return true;
        if (!scriptDone) {
            scriptDone = player->Done();
            scriptDoneAt = now;
            return true;
        }
        DWORD since = now - scriptDoneAt;
        if (since >= kSimulationGraceMaxMs)
            return false;
        // Every frame read, and time for its key to arrive.
        return since < kSimulationGraceMs || queue->Pending() != 0;
    };
    HostWindow window(callbacks);
    if (!window.Create()) {
        Fail("cannot create the message window: %s",
             WithSystemText(HRESULT_FROM_WIN32(GetLastError())));
        return kExitOtherFailure;
    }

    std::unique_ptr<learn::TraceListener> listener;
    if (options.learn) {
        listener.reset(new learn::TraceListener(TraceToWindow, &window));
        if (!listener->installed()) {
            Fail("%s", "cannot capture the library's trace output for --learn");
            return kExitOtherFailure;
        }
    }

    hr = library.init(window.hwnd(), iniPath.empty() ? nullptr : iniPath.c_str());
    if (FAILED(hr))
        return InitFailureExit(hr, dllPath);

    char mask[64] = "0";
    if (!iniPath.empty())
        GetPrivateProfileStringA("Custom", "MaskCode", "0", mask, sizeof(mask), iniPath.c_str());
    printf("Listening to %s (MaskCode=%s from %s)%s\n", dllPath.c_str(), mask,
           iniPath.empty() ? "no INI file" : iniPath.c_str(), simulate ? ", simulated tuner" : "");
    printf(options.durationMs || simulate ? "Press Ctrl+C to stop early.\n"
                                            : "Press Ctrl+C to stop.\n");
    fflush(stdout);
    otherReaders.reset(new OtherReaders());
    otherReaders->Poll(GetTickCount());

    cleanedUp = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stopWindow = &window;
    SetConsoleCtrlHandler(ConsoleHandler, TRUE);

    startedAt = GetTickCount();
    if (simulate) {
        for (const simtuner::Press& press : presses)
            session.played.push_back(simtuner::MakeFrame(press.customCode, press.key, press.fourth));
        player.reset(new simtuner::ScriptPlayer(queue));
        player->Play(presses);
    }
    window.Run();

    size_t refusedPress = 0;
    simtuner::TunerState::Result played = simtuner::TunerState::Result::Ok;
    if (player) {
        player->Stop();
        played = player->Outcome(&refusedPress);
    }
    HRESULT stopped = library.uninit();
    window.DispatchPending(); // keys and trace lines posted before the stop
    listener.reset();
    library.Unload();

    stopWindow = nullptr;
    DWORD seconds10 = (GetTickCount() - startedAt) / 100;
    printf("%lu key%s received in %lu.%lu s.\n", session.keys, session.keys == 1 ? "" : "s",
           seconds10 / 10, seconds10 % 10);
    fflush(stdout);

    int exitCode = kExitOk;
    if (played != simtuner::TunerState::Result::Ok) {
        Fail("simulation script %s", options.scriptPath + ": press " +
                                         std::to_string(refusedPress + 1) +
                                         (played == simtuner::TunerState::Result::Full
                                              ? " found the simulated tuner's queue full"
                                          : played == simtuner::TunerState::Result::Unplugged
                                              ? " found the simulated tuner unplugged"
                                              : " found the simulated tuner locked"));
        exitCode = kExitSimulation;
    }
    if (FAILED(stopped)) {
        Fail("UnInitRemoteControl failed: %s", WithSystemText(stopped));
        exitCode = kExitOtherFailure;
    }
    if (cleanedUp)
        SetEvent(cleanedUp);
    return exitCode;
}

} // namespace

int main()
{
    Utf8Argv arguments;
    Options options;
    std::string error;
    if (!ParseOptions(arguments.argc(), arguments.argv(), &options, &error)) {
        Fail("%s (see --help)", error);
        return kExitUsage;
    }
    if (options.help) {
        fputs(UsageText(), stdout);
        return kExitOk;
    }
    return Run(options);
}
