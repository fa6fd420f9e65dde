#include "SystemProcesses.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

struct SystemProcesses::Waiting {
    HWND window;
    UINT message;
    DWORD pid;
    HANDLE process;
    HANDLE wait;
};

namespace {

bool IsLibrary(const wchar_t* name)
{
    return _wcsicmp(FileNameOf(name).c_str(), kLibraryFileName) == 0;
}

// The modules as the process's loader lists them, with the handles (their
// base addresses). From a 64-bit process, LIST_MODULES_ALL includes a
// 32-bit process's own (WOW64) modules.
bool EnumModules(HANDLE process, ProcessModules* found)
{
    std::vector<HMODULE> modules(256);
    for (int tries = 0; tries < 4; ++tries) {
        DWORD needed = 0;
        DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModulesEx(process, modules.data(), size, &needed, LIST_MODULES_ALL))
            return false;
        if (needed <= size) {
            modules.resize(needed / sizeof(HMODULE));
            for (HMODULE module : modules) {
                wchar_t name[MAX_PATH];
                if (!GetModuleBaseNameW(process, module, name, ARRAYSIZE(name)))
                    continue;
                found->modules.push_back(name);
                if (IsLibrary(name))
                    found->libraryBase = reinterpret_cast<ULONG_PTR>(module);
            }
            return true;
        }
        modules.resize(needed / sizeof(HMODULE) + 16); // it loaded more meanwhile
    }
    return false;
}

// The same from a tool-help snapshot: one pass over the loader's list, where
// a name per module handle walks it again for each module (under Wine, a
// round trip to the server for each step). It also lists a WOW64 process's
// 32-bit modules where the loader's list is read for its native ones alone.
bool SnapshotModules(DWORD pid, ProcessModules* found)
{
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    // ERROR_BAD_LENGTH: the process's module list changed while it was read.
    for (int tries = 0; tries < 4 && snapshot == INVALID_HANDLE_VALUE; ++tries) {
        snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
        if (snapshot == INVALID_HANDLE_VALUE && GetLastError() != ERROR_BAD_LENGTH)
            return false;
    }
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        found->modules.push_back(entry.szModule);
        if (IsLibrary(entry.szModule))
            found->libraryBase = reinterpret_cast<ULONG_PTR>(entry.modBaseAddr);
    }
    CloseHandle(snapshot);
    return true;
}

} // namespace

SystemProcesses::SystemProcesses(HWND window, UINT message) : window_(window), message_(message)
{
}

SystemProcesses::~SystemProcesses()
{
    while (!waits_.empty())
        Unwatch(waits_.begin()->first);
}

std::vector<DWORD> SystemProcesses::List()
{
    std::vector<DWORD> pids(512);
    for (;;) {
        DWORD size = static_cast<DWORD>(pids.size() * sizeof(DWORD)), used = 0;
        if (!EnumProcesses(pids.data(), size, &used))
            return std::vector<DWORD>();
        if (used < size) {
            pids.resize(used / sizeof(DWORD));
            return pids;
        }
        pids.resize(pids.size() * 2); // a full buffer may have cut the list short
    }
}

ProcessSource::Read SystemProcesses::Modules(DWORD pid, ProcessModules* modules)
{
    modules->pid = pid;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER ? Read::Gone : Read::Denied;
    wchar_t image[MAX_PATH * 4];
    DWORD length = ARRAYSIZE(image);
    if (QueryFullProcessImageNameW(process, 0, image, &length))
        modules->exe.assign(image, length);
    // A 32-bit process read from a 64-bit one: both lists, as which of them
    // holds its own modules differs between systems. (A 32-bit program
    // cannot read a 64-bit one's: it is not judged.)
    BOOL wow64 = FALSE;
    bool crossBitness = sizeof(void*) == 8 && IsWow64Process(process, &wow64) && wow64;
    bool listed = SnapshotModules(pid, modules);
    if (!listed || crossBitness)
        listed = EnumModules(process, modules) || listed;
    CloseHandle(process);
    return listed ? Read::Ok : Read::Denied;
}

bool SystemProcesses::StillLoaded(DWORD pid, ULONG_PTR base)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    MEMORY_BASIC_INFORMATION region = {};
    bool loaded = VirtualQueryEx(process, reinterpret_cast<void*>(base), &region, sizeof(region)) &&
                  region.Type == MEM_IMAGE &&
                  reinterpret_cast<ULONG_PTR>(region.AllocationBase) == base;
    CloseHandle(process);
    return loaded;
}

void CALLBACK SystemProcesses::OnEnded(void* context, BOOLEAN)
{
    auto* waiting = static_cast<Waiting*>(context);
    PostMessageW(waiting->window, waiting->message, waiting->pid, 0);
}

void SystemProcesses::Watch(DWORD pid)
{
    if (!window_ || waits_.count(pid))
        return;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process)
        return; // gone already: the next Scan forgets it
    auto* waiting = new Waiting{window_, message_, pid, process, nullptr};
    if (!RegisterWaitForSingleObject(&waiting->wait, process, OnEnded, waiting, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        CloseHandle(process);
        delete waiting;
        return;
    }
    waits_[pid] = waiting;
}

void SystemProcesses::Unwatch(DWORD pid)
{
    auto found = waits_.find(pid);
    if (found == waits_.end())
        return;
    Waiting* waiting = found->second;
    waits_.erase(found);
    // INVALID_HANDLE_VALUE: returns once a callback under way has finished,
    // so that its context can go.
    UnregisterWaitEx(waiting->wait, INVALID_HANDLE_VALUE);
    CloseHandle(waiting->process);
    delete waiting;
}
