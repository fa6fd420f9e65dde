#include "IdleCpu.h"

#include <cstdio>

#include "Clock.h"
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

// Linux's own count of CPU time (nanoseconds) for every thread of a process,
// read through Wine's drive Z:. Files are opened by the Wine server, so
// "self" there is the server itself; this process is found by its Linux
// process id, which scripts/bench passes in. -1 when unavailable.
double TaskClockNs(const std::string& pid)
{
    if (pid.empty())
        return -1;
    std::string folder = "Z:\\proc\\" + pid + "\\task\\";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    double total = 0;
    do {
        if (found.cFileName[0] == '.')
            continue;
        FILE* file = fopen((folder + found.cFileName + "\\schedstat").c_str(), "r");
        if (!file)
            continue;
        double ns = 0;
        if (fscanf(file, "%lf", &ns) == 1)
            total += ns;
        fclose(file);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return total;
}

double ServerClockNs()
{
    FILE* file = fopen("Z:\\proc\\self\\schedstat", "r");
    if (!file)
        return -1;
    double ns = -1;
    if (fscanf(file, "%lf", &ns) != 1)
        ns = -1;
    fclose(file);
    return ns;
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
