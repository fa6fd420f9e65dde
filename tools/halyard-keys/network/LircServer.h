#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LircClient.h"
#include "NetworkSettings.h"

// The LIRC server: a listening socket and its clients, non-blocking,
// serviced by the window's message loop through WSAAsyncSelect. Nothing on
// it blocks: a key is one send() per client into its socket's buffer, and a
// client that cannot take it gets it queued, or is dropped.
class LircServer {
public:
    static const size_t kMaxClients = 16;

    // window receives message for every socket's events: pass them on to
    // OnSocketMessage. nameOf names a key; "" for a key without a name.
    LircServer(HWND window, UINT message, std::function<std::string(unsigned code)> nameOf);
    ~LircServer();
    LircServer(const LircServer&) = delete;
    LircServer& operator=(const LircServer&) = delete;

    enum class Result { Started, Off, InUse, Failed };
    // Listens as settings say (a running server is stopped first, and its
    // clients with it). Failed and InUse come with *error, a whole sentence.
    Result Start(const NetworkSettings& settings, std::string* error);
    void Stop();
    bool listening() const { return listener_ != kNoSocket; }
    // Settings read again with the same Listen=: the filter, the remote's
    // name and SIMULATE change; every client hears SIGHUP.
    void Reload(const NetworkSettings& settings);
    // MaskCode as the library applies it: the custom code in each code.
    void SetMaskCode(unsigned maskCode) { maskCode_ = maskCode; }

    // A frame of the remote: one event line to every client.
    void Key(unsigned code, unsigned repeat);
    void OnSocketMessage(WPARAM wParam, LPARAM lParam);
    size_t clientCount() const { return clients_.size(); }

private:
    // A Socket, kept out of this header: winsock2.h must come before
    // windows.h, which its includers have included already.
    using Socket = UINT_PTR;
    static const Socket kNoSocket = ~Socket(0);

    struct Connection {
        Socket socket;
        bool loopback;
        LircClient client;
    };

    void Accept();
    void Read(Connection* connection);
    void Close(Socket socket);
    void Broadcast(const std::string& line);
    bool Post(Connection* connection, const std::string& line);
    Connection* Find(Socket socket);

    HWND window_;
    UINT message_;
    std::function<std::string(unsigned)> nameOf_;
    bool winsock_ = false;
    Socket listener_ = kNoSocket;
    NetworkSettings settings_;
    unsigned maskCode_ = 0;
    std::vector<std::unique_ptr<Connection>> clients_;
};
