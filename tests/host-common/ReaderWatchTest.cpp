// Which processes count as other readers of the tuner, and how the watch
// keeps up with them, against a fake process list.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ReaderWatch.h"

namespace {

const DWORD kSelf = 100;

ReaderSelf Self()
{
    ReaderSelf self;
    self.pid = kSelf;
    self.exe = L"halyard-keys.exe";
    return self;
}

ProcessModules Process(DWORD pid, const wchar_t* exe, std::vector<std::wstring> modules)
{
    ProcessModules process;
    process.pid = pid;
    process.exe = exe;
    process.modules = std::move(modules);
    return process;
}

TEST(ReaderRule, DecidesWhoReadsTheTuner)
{
    struct Case {
        const char* what;
        ProcessModules process;
        bool reader;
    } cases[] = {
        {"a host with the library", Process(7, L"C:\\TV\\tvprogram.exe", {L"ntdll.dll", L"Halyard.dll"}), true},
        {"the name in another case", Process(7, L"tv.exe", {L"HALYARD.DLL"}), true},
        {"a full path as a module name", Process(7, L"tv.exe", {L"C:\\x86\\halyard.dll"}), true},
        {"no library", Process(7, L"notepad.exe", {L"ntdll.dll", L"user32.dll"}), false},
        {"a name that only contains it", Process(7, L"tv.exe", {L"MyHalyard.dll", L"Halyard.dll.bak"}), false},
        {"this process", Process(kSelf, L"halyard-keys.exe", {L"Halyard.dll"}), false},
        {"a second instance of this program", Process(8, L"D:\\Other\\HALYARD-KEYS.EXE", {L"Halyard.dll"}), false},
        {"halyard-monitor", Process(9, L"halyard-monitor.exe", {L"Halyard.dll"}), true},
        {"an unknown image name", Process(9, L"", {L"Halyard.dll"}), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.reader, IsOtherReader(c.process, Self())) << c.what;
}

TEST(ReaderRule, DescribesTheReaders)
{
    EXPECT_EQ("", DescribeReaders({}));
    EXPECT_EQ("tv.exe", DescribeReaders({{1, L"tv.exe"}}));
    EXPECT_EQ("tv.exe and 1 other program", DescribeReaders({{1, L"tv.exe"}, {2, L"b.exe"}}));
    EXPECT_EQ("tv.exe and 2 other programs",
              DescribeReaders({{1, L"tv.exe"}, {2, L"b.exe"}, {3, L"c.exe"}}));
}

// A strict fake: every read is counted, and a watch must be dropped exactly once.
class FakeProcesses : public ProcessSource {
public:
    std::map<DWORD, ProcessModules> running;
    std::set<DWORD> denied;
    std::map<DWORD, int> reads;
    std::set<DWORD> watched;
    int stillLoadedCalls = 0;
    static constexpr ULONG_PTR kBase = 0x10000000;

    void Start(DWORD pid, const wchar_t* exe, bool library = false)
    {
        running[pid] = Process(pid, exe, {L"ntdll.dll"});
        if (library)
            Load(pid);
    }
    void Load(DWORD pid) { running[pid].modules.push_back(L"Halyard.dll"); }
    void Unload(DWORD pid) { running[pid].modules.resize(1); }

    std::vector<DWORD> List() override
    {
        std::vector<DWORD> pids;
        for (const auto& p : running)
            pids.push_back(p.first);
        return pids;
    }
    Read Modules(DWORD pid, ProcessModules* modules) override
    {
        ++reads[pid];
        if (!running.count(pid))
            return Read::Gone;
        if (denied.count(pid))
            return Read::Denied;
        *modules = running[pid];
        for (const std::wstring& m : modules->modules)
            if (m == L"Halyard.dll")
                modules->libraryBase = kBase;
        return Read::Ok;
    }
    bool StillLoaded(DWORD pid, ULONG_PTR base) override
    {
        ++stillLoadedCalls;
        EXPECT_EQ(ULONG_PTR{kBase}, base);
        if (!running.count(pid))
            return false;
        for (const std::wstring& m : running[pid].modules)
            if (m == L"Halyard.dll")
                return true;
        return false;
    }
    void Watch(DWORD pid) override { EXPECT_TRUE(watched.insert(pid).second) << "watched twice: " << pid; }
    void Unwatch(DWORD pid) override { EXPECT_EQ(1u, watched.erase(pid)) << "not watched: " << pid; }
};

std::vector<DWORD> Pids(const ReaderWatch& watch)
{
    std::vector<DWORD> pids;
    for (const Reader& r : watch.readers())
        pids.push_back(r.pid);
    return pids;
}

// Each second as the program runs it: Refresh while Busy, a Scan now and then.
void Tick(ReaderWatch& watch, DWORD now)
{
    if (watch.Busy())
        watch.Refresh(now);
}

TEST(ReaderWatch, FindsReadersRunningAlreadyAndReadsTheOthersOnce)
{
    FakeProcesses fake;
    fake.Start(kSelf, L"halyard-keys.exe", true);
    fake.Start(7, L"tvprogram.exe", true);
    fake.Start(8, L"notepad.exe");
    ReaderWatch watch(&fake, Self());
    EXPECT_TRUE(watch.Scan(1000));
    ASSERT_EQ(std::vector<DWORD>{7}, Pids(watch));
    EXPECT_EQ(L"tvprogram.exe", watch.readers()[0].exe);
    EXPECT_EQ(std::set<DWORD>{7}, fake.watched);
    for (DWORD now = 2000; now < 30000; now += 1000) {
        Tick(watch, now);
        EXPECT_FALSE(watch.Scan(now));
    }
    // Running before the watch began, notepad is not read again; the reader's
    // library is looked for where it was each time, its modules not read again.
    EXPECT_EQ(1, fake.reads[8]);
    EXPECT_EQ(1, fake.reads[7]);
    EXPECT_GT(fake.stillLoadedCalls, 20);
}

TEST(ReaderWatch, NothingIsReadWhileNothingHappens)
{
    FakeProcesses fake;
    for (DWORD pid = 200; pid < 230; ++pid)
        fake.Start(pid, L"idle.exe");
    ReaderWatch watch(&fake, Self());
    watch.Scan(0);
    EXPECT_FALSE(watch.Busy());
    for (DWORD pid = 200; pid < 230; ++pid)
        EXPECT_FALSE(watch.Appeared(pid, 1000)) << "known already";
    EXPECT_FALSE(watch.Busy());
    for (DWORD pid = 200; pid < 230; ++pid)
        EXPECT_EQ(1, fake.reads[pid]);
}

TEST(ReaderWatch, AHostThatLoadsTheLibraryAsItStartsIsFound)
{
    FakeProcesses fake;
    fake.Start(8, L"notepad.exe");
    ReaderWatch watch(&fake, Self());
    EXPECT_FALSE(watch.Scan(0));
    fake.Start(9, L"tvprogram.exe"); // its first window, before its loader got to the library
    EXPECT_FALSE(watch.Appeared(9, 500));
    EXPECT_TRUE(watch.Busy());
    EXPECT_FALSE(watch.Refresh(1000));
    fake.Load(9);
    EXPECT_TRUE(watch.Refresh(2000));
    EXPECT_EQ(std::vector<DWORD>{9}, Pids(watch));
    EXPECT_EQ(1, fake.reads[8]);
    // Another makes its first window, loads the library and makes the window
    // for the keys at once: found then, not a Refresh later; and a burst of
    // windows has it read at most every kRecheckMs.
    fake.Start(11, L"tv2.exe");
    EXPECT_FALSE(watch.Appeared(11, 2100));
    int reads = fake.reads[11];
    EXPECT_FALSE(watch.Appeared(11, 2150));
    EXPECT_EQ(reads, fake.reads[11]) << "read again within kRecheckMs";
    fake.Load(11);
    EXPECT_TRUE(watch.Appeared(11, 2100 + ReaderWatch::kRecheckMs));
    EXPECT_EQ((std::vector<DWORD>{9, 11}), Pids(watch));
    EXPECT_FALSE(watch.Appeared(8, 2500)) << "a program started before is not read again";
    EXPECT_EQ(1, fake.reads[8]);
    // One without a window of its own is found by the next Scan.
    fake.Start(10, L"service.exe", true);
    EXPECT_TRUE(watch.Scan(3000));
    EXPECT_EQ((std::vector<DWORD>{9, 11, 10}), Pids(watch));
    // One found by a Scan before it made a window is read once, and read
    // again from its first window on.
    fake.Start(12, L"late.exe");
    EXPECT_FALSE(watch.Scan(4000));
    for (DWORD now = 5000; now < 8000; now += 1000)
        Tick(watch, now);
    EXPECT_EQ(1, fake.reads[12]);
    fake.Load(12);
    EXPECT_TRUE(watch.Appeared(12, 8000));
    EXPECT_EQ((std::vector<DWORD>{9, 11, 10, 12}), Pids(watch));
}

TEST(ReaderWatch, ALateLoadIsSeenOnlyWhenTheProcessIsChecked)
{
    FakeProcesses fake;
    fake.Start(9, L"tvprogram.exe");
    ReaderWatch watch(&fake, Self());
    watch.Scan(0);
    fake.Start(10, L"other.exe");
    watch.Appeared(10, 1000);
    for (DWORD now = 2000; now <= 1000 + ReaderWatch::kStartingMs + 1000; now += 1000)
        Tick(watch, now);
    EXPECT_FALSE(watch.Busy());
    int readsOfStarted = fake.reads[10];
    EXPECT_GT(readsOfStarted, 5);
    fake.Load(9); // from its menu, long after it started
    EXPECT_FALSE(watch.Scan(60000));
    EXPECT_TRUE(watch.Check(9, 61000)); // it came to the front
    EXPECT_EQ(std::vector<DWORD>{9}, Pids(watch));
    EXPECT_EQ(readsOfStarted, fake.reads[10]) << "a started process is read no more";
    EXPECT_FALSE(watch.Check(kSelf, 62000));
    EXPECT_FALSE(watch.Check(0, 62000));
    EXPECT_FALSE(watch.Appeared(kSelf, 62000));
}

TEST(ReaderWatch, AReaderThatUnloadsOrEndsIsNoLongerOne)
{
    FakeProcesses fake;
    fake.Start(7, L"a.exe", true);
    fake.Start(8, L"b.exe", true);
    ReaderWatch watch(&fake, Self());
    watch.Scan(0);
    ASSERT_EQ((std::vector<DWORD>{7, 8}), Pids(watch));
    fake.Unload(7);
    EXPECT_TRUE(watch.Refresh(1000));
    EXPECT_EQ(std::vector<DWORD>{8}, Pids(watch));
    fake.running.erase(8);
    EXPECT_TRUE(watch.Ended(8)); // its handle was signalled
    EXPECT_FALSE(watch.Ended(8));
    EXPECT_TRUE(watch.readers().empty());
    EXPECT_FALSE(watch.Scan(2000));
    EXPECT_FALSE(watch.Busy());
    fake.Load(7); // loaded again
    EXPECT_TRUE(watch.Check(7, 3000));
    fake.running.erase(7); // ended between two scans, its end not yet told
    EXPECT_TRUE(watch.Scan(4000));
    EXPECT_TRUE(watch.readers().empty());
    EXPECT_TRUE(fake.watched.empty());
}

TEST(ReaderWatch, AProcessThatCannotBeReadIsNotAReader)
{
    FakeProcesses fake;
    fake.Start(7, L"elevated.exe", true);
    fake.denied.insert(7);
    ReaderWatch watch(&fake, Self());
    EXPECT_FALSE(watch.Scan(0));
    EXPECT_FALSE(watch.Check(7, 1000));
    EXPECT_TRUE(watch.readers().empty());
}

TEST(ReaderWatch, DropsItsWatchesWhenItGoes)
{
    FakeProcesses fake;
    fake.Start(7, L"a.exe", true);
    {
        ReaderWatch watch(&fake, Self());
        watch.Scan(0);
        EXPECT_EQ(1u, fake.watched.size());
    }
    EXPECT_TRUE(fake.watched.empty());
}

} // namespace
