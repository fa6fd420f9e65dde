// halyard-keys' LIRC server: a key's way to 16 connected clients, beside the
// floor of the same sends alone.

#include <winsock2.h>

#include "LircBroadcast.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "IatPatch.h"
#include "KeysHarness.h"
#include "KeysProgram.h"
#include "LircClients.h"
#include "LinuxClock.h"
#include "Text.h"
#include "halyard.h"

namespace bench {

namespace {

const int kClients = LircFigures::kClients;
const DWORD kKeyGapMs = 5;

// The moments of the latency: a key taken from the queue (the hook), and
// the line's send() to the last client returning (the import table entry).
std::atomic<LONGLONG> lircKeyTaken{0};
std::atomic<int> sendsForKey{0};
std::vector<double>* lineSamples = nullptr;
using SendFn = int(WSAAPI*)(SOCKET, const char*, int, int);
SendFn realSend = nullptr;

LRESULT CALLBACK OnRemoteCodeTaken(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_REMOTE_CODE) {
        sendsForKey = 0;
        lircKeyTaken = Qpc();
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}

int WSAAPI TimedSend(SOCKET s, const char* data, int size, int flags)
{
    int sent = realSend(s, data, size, flags);
    LONGLONG taken = lircKeyTaken;
    if (taken && ++sendsForKey == kClients) {
        lircKeyTaken = 0;
        if (lineSamples)
            lineSamples->push_back(Ms(taken, Qpc()));
    }
    return sent;
}

// The floor: the line's send() on 16 connected non-blocking sockets and
// nothing else, as often as there are keys, a key's gap apart. Beside each,
// 16 calls that do nothing but reach the system (into serverCalls): what
// the sends cost before a byte is sent.
std::vector<double> SendFloor(int keys, std::vector<double>* serverCalls, RunErrors& errors)
{
    std::vector<double> measured;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        Fail(errors, "LIRC floor: WSAStartup failed");
        return measured;
    }
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at = {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(at);
    std::vector<SOCKET> served;
    Clients clients; // reading meanwhile, as LIRC programs do
    std::string error;
    if (bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof(at)) == 0 &&
        listen(listener, SOMAXCONN) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size) == 0 &&
        clients.Connect(ntohs(at.sin_port), &error, false)) {
        for (int i = 0; i < kClients; ++i) {
            SOCKET socket = accept(listener, nullptr, nullptr);
            u_long nonBlocking = 1;
            ioctlsocket(socket, FIONBIO, &nonBlocking);
            BOOL noDelay = TRUE;
            setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                       sizeof(noDelay));
            served.push_back(socket);
        }
    }
    const char line[] = "0000000000000101 00 CODE_01 Halyard\n";
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    clients.Drain();
    for (int key = 0; served.size() == static_cast<size_t>(kClients) && key < keys; ++key) {
        LONGLONG t0 = Qpc();
        for (SOCKET socket : served)
            send(socket, line, sizeof(line) - 1, 0);
        measured.push_back(Ms(t0, Qpc()));
        Sleep(kKeyGapMs);
        t0 = Qpc();
        for (int i = 0; i < kClients; ++i)
            SetEvent(event);
        serverCalls->push_back(Ms(t0, Qpc()));
        Sleep(kKeyGapMs);
    }
    CloseHandle(event);
    if (measured.empty())
        Fail(errors, "LIRC floor: cannot connect 16 sockets on loopback");
    for (SOCKET socket : served)
        closesocket(socket);
    closesocket(listener);
    WSACleanup();
    return measured;
}

} // namespace

int RunLircLatency(int keys, const std::string& outPath)
{
    FILE* out = fopen(outPath.c_str(), "w");
    if (!out)
        return 1;
    unsigned port = BenchPort();
    std::string ini = TempPath("lirc.ini");
    if (!WriteFileText(ini, MapWithServer(port).c_str()))
        return FailSamples(out, "cannot write " + ini);
    KeysPaths paths = BenchKeysPaths(ini);

    IatPatch patch(GetModuleHandleA(nullptr), "ws2_32.dll", "send",
                   reinterpret_cast<void*>(TimedSend));
    if (!patch.applied()) {
        DeleteFileA(ini.c_str());
        return FailSamples(out, "send is not in the benchmark's import table");
    }
    realSend = reinterpret_cast<SendFn>(patch.original());
    std::vector<double> measured;
    lineSamples = &measured;
    std::string error;
    Clients clients;
    bool started = RunKeysFed(paths, OnRemoteCodeTaken, keys, [&] {
        if (!clients.Connect(port, &error))
            return false;
        clients.Drain();
        Sleep(200);
        return true;
    });
    lineSamples = nullptr;
    DeleteFileA(ini.c_str());
    if (!started)
        return FailSamples(out, "halyard-keys' LIRC server did not take 16 clients: " + error);
    return WriteSamples(out, measured, keys, "halyard-keys handed all 16 clients");
}

void MeasureLircLatency(int keys, LircFigures& f, RunErrors& errors)
{
    f.lineMs = Summarise(RunSampler("--lirc-latency", keys, errors));
    std::vector<double> serverCalls;
    f.floorMs = Summarise(SendFloor(keys, &serverCalls, errors));
    f.serverCallsMs = Summarise(serverCalls);
}

std::string LircJson(const LircFigures& f)
{
    char text[512];
    snprintf(text, sizeof(text),
             "\"lirc_key_to_16_clients_ms\": {\"median\": %.4f, \"max\": %.4f, \"n\": %zu}, "
             "\"lirc_floor_16_sends_ms\": {\"median\": %.4f, \"max\": %.4f, \"n\": %zu}, "
             "\"lirc_floor_16_system_calls_ms\": {\"median\": %.4f, \"max\": %.4f, \"n\": %zu}, "
             "\"lirc_idle_cpu_percent_16_clients\": %.5f",
             f.lineMs.median, f.lineMs.max, f.lineMs.n, f.floorMs.median, f.floorMs.max,
             f.floorMs.n, f.serverCallsMs.median, f.serverCallsMs.max, f.serverCallsMs.n,
             f.taskPercent);
    return text;
}

} // namespace bench
