#include "tests/launch/LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <cwchar>

namespace {
struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

// Owns an accepted connection.
struct Connection {
    explicit Connection(SOCKET s) : socket(s) {}
    ~Connection() { closesocket(socket); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    SOCKET socket;
};

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

bool SendAll(SOCKET s, const char* data, size_t size) {
    while (size > 0) {
        const int chunk = size > 65536 ? 65536 : static_cast<int>(size);
        const int sent = send(s, data, chunk, 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}
}  // namespace

u_short PortOfHost(const wchar_t* host) {
    const wchar_t* colon = std::wcsrchr(host, L':');
    return colon ? static_cast<u_short>(std::wcstoul(colon + 1, nullptr, 10)) : 80;
}

LoopbackHttpServer::LoopbackHttpServer(u_short port, HttpAnswer answer)
    : m_answer(std::move(answer)) {
    static WinsockUser winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    const BOOL reuse = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(s, 8) != 0) {
        closesocket(s);
        return;
    }
    m_listener = s;
    m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
}

std::string LoopbackHttpServer::LastRequestLine() const {
    std::lock_guard lock(m_mutex);
    return m_lastRequestLine;
}

void LoopbackHttpServer::Serve() {
    while (!m_stop) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval wait{0, 20000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client != INVALID_SOCKET) Answer(client);
    }
}

void LoopbackHttpServer::Answer(SOCKET client) {
    Connection connection(client);
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, chunk, sizeof(chunk), 0);
        if (n <= 0) return;
        request.append(chunk, static_cast<size_t>(n));
    }
    ++m_requests;
    {
        std::lock_guard lock(m_mutex);
        m_lastRequestLine = request.substr(0, request.find("\r\n"));
    }
    const HttpAnswer& a = m_answer;
    const std::string head = "HTTP/1.1 " + std::to_string(a.status) + " " + Reason(a.status) +
                             "\r\nContent-Length: " + std::to_string(a.body.size()) +
                             "\r\nContent-Type: application/octet-stream"
                             "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (!SendAll(client, head.data(), head.size())) return;
    if (a.bodyDelayMs) Sleep(a.bodyDelayMs);
    const size_t bodySize = a.end == HttpAnswer::End::Whole ? a.body.size() : a.cutAt;
    if (!SendAll(client, a.body.data(), bodySize)) return;
    if (a.end == HttpAnswer::End::ResetAfter) {
        // Let the bytes sent so far arrive, then abort: closing with a zero linger sends RST.
        Sleep(100);
        const linger abort{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof(abort));
    } else {
        shutdown(client, SD_SEND);
    }
}
