#include "ReaderWatch.h"

#include <algorithm>
#include <set>

#include "Utf8.h"

ReaderWatch::ReaderWatch(ProcessSource* source, ReaderSelf self, Events events)
    : source_(source), self_(std::move(self)), events_(events)
{
}

ReaderWatch::~ReaderWatch()
{
    for (const Reader& reader : readers_)
        source_->Unwatch(reader.pid);
}

bool ReaderWatch::Scan(DWORD now)
{
    std::vector<DWORD> listed = source_->List();
    std::set<DWORD> running(listed.begin(), listed.end());
    bool changed = false;
    for (auto it = known_.begin(); it != known_.end();) {
        DWORD pid = it->first;
        ++it; // Forget erases it
        if (!running.count(pid))
            changed |= Forget(pid);
    }
    // Read once: a program without a window yet is no host yet. It is read
    // again from its first window on (Appeared). Those that ran before the
    // first Scan are taken to have made theirs.
    for (DWORD pid : listed)
        if (!known_.count(pid)) {
            bool starting = listed_ && events_ == Events::None;
            changed |= Add(pid, now, starting);
            known_[pid].windowed = !listed_ || starting;
        }
    listed_ = true;
    return changed;
}

bool ReaderWatch::Refresh(DWORD now)
{
    bool changed = false;
    for (auto it = known_.begin(); it != known_.end();) {
        DWORD pid = it->first;
        Known& known = it->second;
        ++it; // Judge may end a reader's watch, never the entry
        if (known.starting && now - known.seen >= kStartingMs)
            known.starting = false; // this look is its last, unless it is a reader
        else if (!known.starting && !known.reader)
            continue;
        // A reader found since it started: its library is looked for where
        // it was, and the modules read again only once it is gone from there.
        if (known.reader && !known.starting && known.libraryBase &&
            source_->StillLoaded(pid, known.libraryBase))
            continue;
        changed |= Judge(pid, &known, now);
    }
    return changed;
}

bool ReaderWatch::Appeared(DWORD pid, DWORD now)
{
    if (pid == 0 || pid == self_.pid)
        return false;
    auto found = known_.find(pid);
    if (found == known_.end())
        return Add(pid, now, true);
    // A starting program makes its windows as it gets ready, the window
    // for the keys usually right after loading the library: each is a
    // moment to look again, though not more than every kRecheckMs.
    Known& known = found->second;
    if (!known.windowed) {
        // Its first window: from now on it starts, as far as hosts go.
        known.windowed = true;
        known.starting = true;
        known.seen = now;
        return Judge(pid, &known, now);
    }
    if (!known.starting || known.reader || now - known.judged < kRecheckMs)
        return false;
    return Judge(pid, &known, now);
}

bool ReaderWatch::Check(DWORD pid, DWORD now)
{
    if (pid == 0 || pid == self_.pid)
        return false;
    auto found = known_.find(pid);
    if (found == known_.end())
        return Add(pid, now, true);
    return Judge(pid, &found->second, now);
}

bool ReaderWatch::Starting() const
{
    for (const auto& entry : known_)
        if (entry.second.starting)
            return true;
    return false;
}

bool ReaderWatch::Busy() const
{
    for (const auto& entry : known_)
        if (entry.second.starting || entry.second.reader)
            return true;
    return false;
}

bool ReaderWatch::Add(DWORD pid, DWORD now, bool starting)
{
    Known& known = known_[pid];
    known.seen = now;
    known.starting = starting;
    known.windowed = starting;
    return Judge(pid, &known, now);
}

bool ReaderWatch::Ended(DWORD pid)
{
    return Forget(pid);
}

bool ReaderWatch::Judge(DWORD pid, Known* known, DWORD now)
{
    known->judged = now;
    ProcessModules modules;
    bool reader = source_->Modules(pid, &modules) == ProcessSource::Read::Ok &&
                  IsOtherReader(modules, self_);
    known->libraryBase = reader ? modules.libraryBase : 0;
    if (reader == known->reader)
        return false;
    known->reader = reader;
    if (reader) {
        Reader found;
        found.pid = pid;
        found.exe = FileNameOf(modules.exe);
        readers_.push_back(found);
        source_->Watch(pid);
    } else {
        RemoveReader(pid);
    }
    return true;
}

void ReaderWatch::RemoveReader(DWORD pid)
{
    readers_.erase(std::remove_if(readers_.begin(), readers_.end(),
                                  [pid](const Reader& r) { return r.pid == pid; }),
                   readers_.end());
    source_->Unwatch(pid);
}

bool ReaderWatch::Forget(DWORD pid)
{
    auto found = known_.find(pid);
    if (found == known_.end())
        return false;
    bool wasReader = found->second.reader;
    known_.erase(found);
    if (wasReader)
        RemoveReader(pid);
    return wasReader;
}

std::string DescribeReaders(const std::vector<Reader>& readers)
{
    if (readers.empty())
        return std::string();
    std::string first = Utf8FromWide(readers.front().exe);
    if (readers.size() == 1)
        return first;
    size_t others = readers.size() - 1;
    return first + " and " + std::to_string(others) + (others == 1 ? " other program" : " other programs");
}
