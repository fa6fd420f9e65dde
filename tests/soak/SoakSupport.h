#pragma once

// Shared by the soak and fault tests: INI files in the temporary folder, the
// process's handle and thread counts, and seeded randomness.

#include <windows.h>

#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SimTuner.h"
#include "TestWindow.h"

namespace soak {

inline std::string TempFolder()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// An INI file of this process in the temporary folder, removed with the object.
class IniFile {
public:
    explicit IniFile(const std::string& contents, const char* tag = "")
    {
        static unsigned serial = 0;
        path_ = TempFolder() + "halyard-soak-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + tag + ".ini";
        Write(contents);
    }
    ~IniFile() { DeleteFileA(path_.c_str()); }
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    bool Write(const std::string& contents) { return WriteFileBytes(path_, contents); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

inline std::string MaskIni(const std::string& value)
{
    return "[Custom]\r\nMaskCode=" + value + "\r\n";
}

// The process's handles as the system's handle table lists them, for where
// GetProcessHandleCount answers 0 (Wine does); 0 when unavailable.
inline DWORD SystemHandleCount()
{
    struct Entry {
        USHORT process;
        USHORT creatorBackTrace;
        UCHAR objectType;
        UCHAR attributes;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    const ULONG kSystemHandleInformation = 16;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch && buffer.size() < (64u << 20)) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0)
            return 0;
        break;
    }
    const Table* table = reinterpret_cast<const Table*>(buffer.data());
    const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i) {
        if (table->entries[i].process == self)
            ++count;
    }
    return count;
}

inline DWORD HandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count ? count : SystemHandleCount();
}

inline DWORD ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

struct Counts {
    DWORD handles;
    DWORD threads;
};

inline Counts CountNow()
{
    return {HandleCount(), ThreadCount()};
}

// Waits (up to a scaled budget) for the counts to come back to a baseline: a
// thread that has returned may take a moment to leave the process.
inline Counts SettleTo(const Counts& baseline, DWORD ms = 3000)
{
    DWORD start = GetTickCount();
    Counts now = CountNow();
    while ((now.handles > baseline.handles || now.threads > baseline.threads) &&
           GetTickCount() - start < Scaled(ms)) {
        Sleep(20);
        now = CountNow();
    }
    return now;
}

// Counts to come back to. The platform opens a named mutex for the debugger
// output on its first use in the process and keeps it; that happens here, so
// that the library's first trace line is not counted as a leak.
inline Counts Baseline()
{
    OutputDebugStringA("halyard soak: baseline\n");
    return SettleTo(CountNow());
}

// The seed of a test's generator: fixed, or HALYARD_SOAK_SEED when set, so
// that a failure can be replayed.
inline unsigned Seed(unsigned fixed)
{
    const char* text = getenv("HALYARD_SOAK_SEED");
    return text ? static_cast<unsigned>(strtoul(text, nullptr, 10)) : fixed;
}

// A busy device whose every read gives a frame, numbered by the read, and
// whose reads are now and then slow.
struct BusyDevice {
    explicit BusyDevice(unsigned seed, DWORD slowMs) : rng(seed), slowMs(slowMs) {}

    void Attach(simtuner::Simulation& sim)
    {
        sim.SetBufferFiller([this](BYTE* buffer, DWORD) {
            if (slowMs && rng() % 4 == 0)
                Sleep(1 + rng() % slowMs);
            BYTE key = static_cast<BYTE>(reads++);
            buffer[30] = 0x40;
            buffer[31] = 0xBF;
            buffer[32] = key;
            buffer[33] = static_cast<BYTE>(~key);
        });
    }

    std::mt19937 rng;
    DWORD slowMs;
    unsigned reads = 0; // only the monitor thread counts
};

// Every message corresponds to one read that had started before UnInit
// returned, in order: key i is read number i.
inline void ExpectMessagesMatchReads(const TestWindow& window, size_t reads)
{
    const auto& received = window.received();
    ASSERT_EQ(reads, received.size()) << "messages and completed reads differ";
    for (size_t i = 0; i < received.size(); ++i)
        ASSERT_EQ(static_cast<LPARAM>(i & 0xFF), received[i].lParam) << "message " << i;
}

} // namespace soak
