#include "IdleCpu.h"

#include <cstdio>

#include "Clock.h"
#include "LinuxClock.h"
#include "SimTuner.h"

namespace bench {

namespace {

ULONGLONG ProcessCpu100ns()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return k.QuadPart + u.QuadPart;
}

} // namespace

// CPU the whole process spends while the monitor polls an idle tuner.
void MeasureIdleCpu(Library& lib, Host& host, double seconds, const std::string& unixPid,
                    IdleCpuFigures& f, RunErrors& errors)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(errors, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");

    // The host alone first, for comparison.
    ULONGLONG cpu0 = ProcessCpu100ns();
    double hostTask0 = TaskClockNs(unixPid);
    LONGLONG t0 = Qpc();
    host.Pump(seconds * 500);
    double hostMs = Ms(t0, Qpc());
    f.percentHostOnly = (ProcessCpu100ns() - cpu0) / 1e4 / hostMs * 100;
    double hostTask1 = TaskClockNs(unixPid);
    if (hostTask0 >= 0 && hostTask1 >= 0)
        f.taskPercentHostOnly = (hostTask1 - hostTask0) / 1e6 / hostMs * 100;

    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(errors, "InitRemoteControl (idle cpu)");
    host.Pump(300);
    cpu0 = ProcessCpu100ns();
    double task0 = TaskClockNs(unixPid), server0 = ServerClockNs();
    t0 = Qpc();
    host.Pump(seconds * 1000);
    LONGLONG t1 = Qpc();
    ULONGLONG cpu1 = ProcessCpu100ns();
    double task1 = TaskClockNs(unixPid), server1 = ServerClockNs();
    lib.uninit();
    double wallMs = Ms(t0, t1);
    f.percent = (cpu1 - cpu0) / 1e4 / wallMs * 100;
    if (task0 >= 0 && task1 >= 0)
        f.taskPercent = (task1 - task0) / 1e6 / wallMs * 100;
    if (server0 >= 0 && server1 >= 0)
        f.serverPercent = (server1 - server0) / 1e6 / wallMs * 100;
}

} // namespace bench
