// Servers of the tests' own on 127.0.0.1: a free port, a server that hands
// each connection to a function, and a network printer that never answers.
#ifndef KORLA_TESTS_LOOPBACK_H
#define KORLA_TESTS_LOOPBACK_H

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A port on 127.0.0.1 that nothing listens on at the moment.
int FreeLoopbackPort();

// Listens on a free port of 127.0.0.1 and hands each connection, one after
// another on a thread of its own, to a function; the connection is closed
// when the function returns. Stops when it goes.
class LoopbackServer {
public:
    explicit LoopbackServer(std::function<void(int fd)> serve);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }  // 0 when it could not listen

    // For the function: true when fd has data (or was closed), false once
    // the server stops.
    bool WaitReadable(int fd) const;

private:
    void Serve();

    std::function<void(int fd)> serve_;
    int listener_ = -1;
    int stop_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
};

// A network printer that takes every byte and never answers: each
// connection's bytes, in order.
class SilentPrinter {
public:
    SilentPrinter();
    std::string Uri() const { return "socket://127.0.0.1:" + std::to_string(server_.port()); }
    std::vector<std::string> Connections();

private:
    std::mutex mutex_;
    std::vector<std::string> connections_;
    LoopbackServer server_;  // last: it goes first, before what it fills
};

#endif
