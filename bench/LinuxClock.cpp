#include "LinuxClock.h"

#include <windows.h>

#include <cstdio>

namespace bench {

namespace {

const char kProc[] = "Z:\\proc\\";

double ReadSchedstatNs(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "r");
    if (!file)
        return -1;
    double ns = -1;
    if (fscanf(file, "%lf", &ns) != 1)
        ns = -1;
    fclose(file);
    return ns;
}

} // namespace

double TaskClockNs(const std::string& pid)
{
    if (pid.empty())
        return -1;
    std::string folder = kProc + pid + "\\task\\";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    double total = 0;
    do {
        if (found.cFileName[0] == '.')
            continue;
        double ns = ReadSchedstatNs(folder + found.cFileName + "\\schedstat");
        if (ns > 0)
            total += ns;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return total;
}

double MainThreadClockNs(const std::string& pid)
{
    if (pid.empty())
        return -1;
    return ReadSchedstatNs(kProc + pid + "\\task\\" + pid + "\\schedstat");
}

double ServerClockNs()
{
    return ReadSchedstatNs(std::string(kProc) + "self\\schedstat");
}

std::string FindUnixPid(const std::string& text)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(kProc) + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return std::string();
    std::string pid;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
            continue;
        FILE* file = fopen((kProc + std::string(found.cFileName) + "\\cmdline").c_str(), "rb");
        if (!file)
            continue;
        char buffer[4096];
        size_t length = fread(buffer, 1, sizeof(buffer), file);
        fclose(file);
        // Arguments are separated by NULs.
        std::string line(buffer, length);
        for (char& c : line)
            c = c ? c : ' ';
        if (line.find(text) != std::string::npos)
            pid = found.cFileName;
    } while (pid.empty() && FindNextFileA(find, &found));
    FindClose(find);
    return pid;
}

} // namespace bench
