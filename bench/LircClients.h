#pragma once

// What the LIRC server's figures share: the benchmark's port and map, and
// 16 clients connected to halyard-keys' server.

#include <winsock2.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// The benchmark's own port, away from a real WinLIRC's 8765.
unsigned BenchPort();
// The benchmark's key map with the server listening on port.
std::string MapWithServer(unsigned port);

// Clients as LIRC programs are: connected, each answered once (so the
// server has taken it), then reading whatever comes.
class Clients {
public:
    static const int kCount = 16;
    Clients() = default;
    ~Clients();
    Clients(const Clients&) = delete;
    Clients& operator=(const Clients&) = delete;

    // With ask, each client waits for its answer to VERSION.
    bool Connect(unsigned port, std::string* error, bool ask = true);
    // Reads and forgets what the clients get, until they go.
    void Drain();

private:
    bool started_ = false;
    std::vector<SOCKET> sockets_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
};

} // namespace bench
