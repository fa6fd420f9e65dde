#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ReaderRule.h"

// Where the processes come from: the system's (SystemProcesses), or a fake.
class ProcessSource {
public:
    enum class Read { Ok, Denied, Gone };
    virtual ~ProcessSource() = default;
    virtual std::vector<DWORD> List() = 0;
    // Denied: another user's process, or an elevated one; it cannot be judged.
    virtual Read Modules(DWORD pid, ProcessModules* modules) = 0;
    // Whether the module loaded at base is still there: far cheaper than
    // reading every module again.
    virtual bool StillLoaded(DWORD pid, ULONG_PTR base) = 0;
    // Tells the watcher's owner when the process ends (ReaderWatch::Ended),
    // until Unwatch.
    virtual void Watch(DWORD pid) = 0;
    virtual void Unwatch(DWORD pid) = 0;
};

struct Reader {
    DWORD pid = 0;
    std::wstring exe; // its image's file name
};

// The other processes that read the tuner, kept up to date at little cost:
// each process's modules are read when it appears (Appeared: it made its
// first window, which a host needs for the keys; or Scan found it), again
// in the ten seconds after its first window (Refresh, and its next windows:
// a host loads the library as it starts),
// and when it may have loaded the library late (Check: it came to the
// front, a menu of its closed). The readers found are read again on each
// Refresh, to see them unload it; their ends are waited for (Ended). A
// process that cannot be read is not taken for a reader.
class ReaderWatch {
public:
    // How long after a process appears its modules are read on every Scan.
    static const DWORD kStartingMs = 10000;
    // How often a starting program's new windows have it read again.
    static const DWORD kRecheckMs = 200;

    // Without window events (no Appeared), each process a Scan finds is
    // read as a starting one.
    enum class Events { Windows, None };
    ReaderWatch(ProcessSource* source, ReaderSelf self, Events events = Events::Windows);
    ~ReaderWatch();
    ReaderWatch(const ReaderWatch&) = delete;
    ReaderWatch& operator=(const ReaderWatch&) = delete;

    // Each returns true when the readers changed. Scan lists the processes,
    // reads those it did not know, and forgets those gone; the first Scan
    // takes the processes that run already as started.
    bool Scan(DWORD now);
    bool Refresh(DWORD now);
    bool Appeared(DWORD pid, DWORD now);
    bool Check(DWORD pid, DWORD now);
    bool Ended(DWORD pid);
    // Whether Refresh has work: a process starting, or a reader.
    bool Busy() const;
    // Whether a process is starting: Refresh then wants calling more often.
    bool Starting() const;

    // In the order they were found.
    const std::vector<Reader>& readers() const { return readers_; }

private:
    struct Known {
        DWORD seen = 0;
        DWORD judged = 0; // when its modules were last read
        bool starting = false;
        bool reader = false;
        bool windowed = false; // it has made a window
        ULONG_PTR libraryBase = 0; // a reader's library, where known
    };
    bool Judge(DWORD pid, Known* known, DWORD now);
    bool Add(DWORD pid, DWORD now, bool starting);
    bool Forget(DWORD pid);
    void RemoveReader(DWORD pid);

    ProcessSource* source_;
    ReaderSelf self_;
    std::map<DWORD, Known> known_;
    std::vector<Reader> readers_;
    bool listed_ = false;
    Events events_;
};

// "tvprogram.exe", "tvprogram.exe and 2 other programs" (UTF-8); empty for none.
std::string DescribeReaders(const std::vector<Reader>& readers);
