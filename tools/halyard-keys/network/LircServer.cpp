#include <winsock2.h>
#include <ws2tcpip.h>

#include "LircServer.h"

#include "LircCommands.h"
#include "LircEvent.h"
#include "Strings.h"
#include "Text.h"

namespace {

int SendOn(SOCKET socket, const char* data, int size)
{
    int sent = send(socket, data, size, 0);
    if (sent != SOCKET_ERROR)
        return sent;
    return WSAGetLastError() == WSAEWOULDBLOCK ? LircClient::kWouldBlock : LircClient::kFailed;
}

std::string Endpoint(const NetworkSettings& settings)
{
    return FormatIpv4(settings.address) + ":" + std::to_string(settings.port);
}

} // namespace

const size_t LircServer::kMaxClients;
const LircServer::Socket LircServer::kNoSocket;

LircServer::LircServer(HWND window, UINT message, std::function<std::string(unsigned)> nameOf)
    : window_(window), message_(message), nameOf_(std::move(nameOf))
{
}

LircServer::~LircServer()
{
    Stop();
}

LircServer::Result LircServer::Start(const NetworkSettings& settings, std::string* error)
{
    Stop();
    settings_ = settings;
    if (!settings.listen)
        return Result::Off;
    WSADATA data;
    int started = WSAStartup(MAKEWORD(2, 2), &data);
    if (started != 0) {
        *error = strings::kNetSocketsFailed + SystemText(static_cast<DWORD>(started));
        return Result::Failed;
    }
    winsock_ = true;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at = {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(settings.address);
    at.sin_port = htons(static_cast<u_short>(settings.port));
    // Exclusive: no other program can take over the port under our feet.
    BOOL exclusive = TRUE;
    if (listener_ == kNoSocket ||
        setsockopt(listener_, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&exclusive), sizeof(exclusive)) != 0 ||
        bind(listener_, reinterpret_cast<const sockaddr*>(&at), sizeof(at)) != 0 ||
        listen(listener_, SOMAXCONN) != 0 ||
        WSAAsyncSelect(listener_, window_, message_, FD_ACCEPT) != 0) {
        int code = WSAGetLastError();
        Stop();
        if (code == WSAEADDRINUSE || code == WSAEACCES) {
            *error = strings::kNetPortInUse + Endpoint(settings) + strings::kNetPortInUseEnd;
            return Result::InUse;
        }
        *error = strings::kNetListenFailed + Endpoint(settings) + ": " +
                 SystemText(static_cast<DWORD>(code));
        return Result::Failed;
    }
    return Result::Started;
}

void LircServer::Stop()
{
    while (!clients_.empty())
        Close(clients_.back()->socket);
    if (listener_ != kNoSocket) {
        closesocket(listener_);
        listener_ = kNoSocket;
    }
    if (winsock_) {
        WSACleanup();
        winsock_ = false;
    }
}

void LircServer::Reload(const NetworkSettings& settings)
{
    settings_ = settings;
    // Connections the new AllowFrom= no longer allows go now.
    for (size_t i = clients_.size(); i-- > 0;) {
        sockaddr_in peer = {};
        int size = sizeof(peer);
        if (getpeername(clients_[i]->socket, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
            !settings_.allowFrom.Allows(ntohl(peer.sin_addr.s_addr)))
            Close(clients_[i]->socket);
    }
    Broadcast(LircSighupBlock());
}

void LircServer::Key(unsigned code, unsigned repeat)
{
    if (clients_.empty())
        return;
    std::string name = nameOf_ ? nameOf_(code) : std::string();
    Broadcast(LircEventLine(FrameCode(maskCode_, code), repeat,
                            name.empty() ? FallbackButtonName(code) : name,
                            settings_.remoteName));
}

void LircServer::Broadcast(const std::string& line)
{
    // Backwards: a client dropped on the way leaves the ones not yet served in place.
    for (size_t i = clients_.size(); i-- > 0;)
        Post(clients_[i].get(), line);
}

bool LircServer::Post(Connection* connection, const std::string& line)
{
    SOCKET socket = connection->socket;
    if (connection->client.Post(line, [socket](const char* data, int size) {
            return SendOn(socket, data, size);
        }))
        return true;
    Close(socket);
    return false;
}

void LircServer::OnSocketMessage(WPARAM wParam, LPARAM lParam)
{
    SOCKET socket = static_cast<SOCKET>(wParam);
    WORD event = WSAGETSELECTEVENT(lParam);
    if (socket == listener_ && listener_ != kNoSocket) {
        if (event == FD_ACCEPT)
            Accept();
        return;
    }
    // Messages may still come for a socket closed since they were posted.
    Connection* connection = Find(socket);
    if (!connection)
        return;
    if (event == FD_CLOSE || WSAGETSELECTERROR(lParam)) {
        Close(socket);
    } else if (event == FD_READ) {
        Read(connection);
    } else if (event == FD_WRITE) {
        if (!connection->client.Flush([socket](const char* data, int size) {
                return SendOn(socket, data, size);
            }))
            Close(socket);
    }
}

void LircServer::Accept()
{
    sockaddr_in peer = {};
    int size = sizeof(peer);
    SOCKET socket = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &size);
    if (socket == INVALID_SOCKET)
        return;
    uint32_t address = ntohl(peer.sin_addr.s_addr);
    if (peer.sin_family != AF_INET || !settings_.allowFrom.Allows(address)) {
        closesocket(socket);
        return;
    }
    // The socket inherits the listener's selection; it needs its own.
    if (WSAAsyncSelect(socket, window_, message_, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        closesocket(socket);
        return;
    }
    if (clients_.size() >= kMaxClients) {
        // A fresh socket's buffer takes the line at once.
        std::string why = strings::kLircTooMany;
        send(socket, why.data(), static_cast<int>(why.size()), 0);
        shutdown(socket, SD_SEND);
        closesocket(socket);
        return;
    }
    // Each event goes out as it is sent, not held back to join the next.
    BOOL noDelay = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    std::unique_ptr<Connection> connection(new Connection{socket, IsLoopback(address), {}});
    clients_.push_back(std::move(connection));
}

void LircServer::Read(Connection* connection)
{
    char data[4096];
    int got = recv(connection->socket, data, sizeof(data), 0);
    if (got == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            Close(connection->socket);
        return;
    }
    if (got == 0) {
        Close(connection->socket);
        return;
    }
    std::vector<std::string> lines;
    if (connection->client.Receive(data, static_cast<size_t>(got), GetTickCount(), &lines) !=
        LircClient::Verdict::Ok) {
        Close(connection->socket);
        return;
    }
    LircCommandContext context;
    context.remote = settings_.remoteName;
    context.nameOf = nameOf_;
    context.maskCode = maskCode_;
    context.allowSimulate = settings_.allowSimulate;
    context.fromLoopback = connection->loopback;
    SOCKET socket = connection->socket;
    for (const std::string& line : lines) {
        LircCommandResult result = HandleLircCommand(line, context);
        if (!Post(connection, result.reply))
            return;
        if (!result.broadcast.empty()) {
            Broadcast(result.broadcast);
            // The broadcast may have dropped this client too.
            connection = Find(socket);
            if (!connection)
                return;
        }
    }
}

LircServer::Connection* LircServer::Find(Socket socket)
{
    for (auto& connection : clients_) {
        if (connection->socket == socket)
            return connection.get();
    }
    return nullptr;
}

void LircServer::Close(Socket socket)
{
    for (size_t i = 0; i < clients_.size(); ++i) {
        if (clients_[i]->socket == socket) {
            closesocket(socket);
            clients_.erase(clients_.begin() + static_cast<ptrdiff_t>(i));
            return;
        }
    }
}
