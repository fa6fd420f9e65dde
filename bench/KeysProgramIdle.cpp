// halyard-keys: what it costs while no key comes, in CPU and memory, beside
// a bare Win32 program with a hidden window.

#include "KeysProgram.h"

#include <windows.h>

#include "Clock.h"
#include "ExeFolder.h"
#include "KeysApp.h"
#include "KeysHarness.h"
#include "LinuxClock.h"

namespace bench {

void MeasureKeysProgramIdle(double seconds, KeysProgramFigures& f, RunErrors& errors)
{
    // The program as users run it, in a folder of its own beside the
    // simulation build.
    std::string folder = TempPath("keys");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\halyard-keys.exe";
    if (!InstallKeys(folder))
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
    RemoveKeys(folder);
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
