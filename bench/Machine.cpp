#include "Machine.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

std::string ReadFirstLine(const char* path)
{
    FILE* file = fopen(path, "r");
    if (!file)
        return "";
    char line[512] = {};
    if (!fgets(line, sizeof(line), file))
        line[0] = 0;
    fclose(file);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::string CpuModelFromProc()
{
    FILE* file = fopen("Z:\\proc\\cpuinfo", "r");
    if (!file)
        return "";
    char line[512];
    std::string model;
    while (fgets(line, sizeof(line), file)) {
        if (strncmp(line, "model name", 10) == 0) {
            const char* colon = strchr(line, ':');
            model = colon ? colon + 2 : line;
            while (!model.empty() && (model.back() == '\n' || model.back() == '\r'))
                model.pop_back();
            break;
        }
    }
    fclose(file);
    return model;
}

std::string WineVersion()
{
    using Fn = const char*(CDECL*)();
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return fn ? std::string("wine-") + fn() : std::string("not Wine");
}

} // namespace

std::string LoadAverage()
{
    std::string line = ReadFirstLine("Z:\\proc\\loadavg");
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field)
        end = line.find(' ', end + (field ? 1 : 0));
    return line.substr(0, end);
}

void CompleteMachine(Machine& m)
{
    if (m.cpu.empty())
        m.cpu = CpuModelFromProc();
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (m.cores.empty())
        m.cores = std::to_string(info.dwNumberOfProcessors);
    if (m.wine.empty())
        m.wine = WineVersion();
    if (m.load.empty())
        m.load = LoadAverage();
}

} // namespace bench
