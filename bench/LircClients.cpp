#include "LircClients.h"

namespace bench {

unsigned BenchPort()
{
    return 21000 + GetCurrentProcessId() % 20000;
}

std::string MapWithServer(unsigned port)
{
    return "[Custom]\r\nMaskCode=0\r\n[Keys]\r\n1 = F13\r\n2 = F14\r\n[Network]\r\nListen=127.0.0.1:" +
           std::to_string(port) + "\r\n";
}

bool Clients::Connect(unsigned port, std::string* error, bool ask)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return *error = "WSAStartup failed", false;
    started_ = true;
    for (int i = 0; i < kCount; ++i) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at = {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        at.sin_port = htons(static_cast<u_short>(port));
        DWORD timeoutMs = 5000;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                   sizeof(timeoutMs));
        if (s == INVALID_SOCKET || connect(s, reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0)
            return *error = "cannot connect client " + std::to_string(i + 1), false;
        sockets_.push_back(s);
        if (!ask)
            continue;
        std::string reply;
        char buffer[512];
        send(s, "VERSION\n", 8, 0);
        while (reply.find("END\n") == std::string::npos) {
            int got = recv(s, buffer, sizeof(buffer), 0);
            if (got <= 0)
                return *error = "client " + std::to_string(i + 1) + " got no reply", false;
            reply.append(buffer, static_cast<size_t>(got));
        }
    }
    return true;
}

void Clients::Drain()
{
    reader_ = std::thread([this] {
        char buffer[4096];
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            for (SOCKET s : sockets_)
                FD_SET(s, &readable);
            timeval wait = {0, 100000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            for (SOCKET s : sockets_) {
                if (FD_ISSET(s, &readable))
                    recv(s, buffer, sizeof(buffer), 0);
            }
        }
    });
}

Clients::~Clients()
{
    stop_ = true;
    if (reader_.joinable())
        reader_.join();
    for (SOCKET s : sockets_)
        closesocket(s);
    if (started_)
        WSACleanup();
}

} // namespace bench
