#pragma once
// A scripted HTTP server on 127.0.0.1 for the download tests: one answer, given per case, to
// every request; it counts the requests and keeps the last request line.
#include <winsock2.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

struct HttpAnswer {
    enum class End { Whole, CloseAfter, ResetAfter };
    int status = 200;
    std::string body;
    // CloseAfter / ResetAfter: send only the first cutAt bytes of the body, then close the
    // connection (FIN) or abort it (RST). Content-Length still announces the whole body.
    End end = End::Whole;
    size_t cutAt = 0;
    // Headers go out at once; the body follows after this many milliseconds.
    DWORD bodyDelayMs = 0;
};

class LoopbackHttpServer {
public:
    LoopbackHttpServer(u_short port, HttpAnswer answer);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // False when the port could not be bound (then nothing listens).
    bool Listening() const { return m_listener != INVALID_SOCKET; }
    int Requests() const { return m_requests.load(); }
    std::string LastRequestLine() const;

private:
    void Serve();
    void Answer(SOCKET client);

    HttpAnswer m_answer;
    SOCKET m_listener = INVALID_SOCKET;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    mutable std::mutex m_mutex;
    std::string m_lastRequestLine;
    std::thread m_thread;
};

// The port of a "host:port" text (80 when it names none).
u_short PortOfHost(const wchar_t* host);
