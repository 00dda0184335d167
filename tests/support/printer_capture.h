// Test support: what a printer would receive, one entry per write call.
//
// Printer bytes travel over a SOCK_SEQPACKET socket, which keeps the
// boundary of every write, so tests see both the bytes and how the filter
// cut them into commands.
#ifndef KORLA_TESTS_PRINTER_CAPTURE_H
#define KORLA_TESTS_PRINTER_CAPTURE_H

#include <string>
#include <thread>
#include <vector>

using Writes = std::vector<std::string>;

// All bytes of the writes, joined.
std::string Joined(const Writes& writes);

// Collects every packet that arrives on one end of a socket pair while the
// other end is handed to a writer (a child process, or this process's own
// standard output).
class PacketCollector {
public:
    PacketCollector();
    ~PacketCollector();
    PacketCollector(const PacketCollector&) = delete;
    PacketCollector& operator=(const PacketCollector&) = delete;

    int WriterFd() const { return writerFd_; }
    // Closes our copy of the writer end and waits until every writer is gone.
    Writes Finish();

private:
    int readerFd_ = -1;
    int writerFd_ = -1;
    Writes packets_;
    std::thread reader_;
};

// Redirects this process's standard output into a collector for as long as
// it lives; Stop() restores it and returns the writes.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    Writes Stop();

private:
    PacketCollector collector_;
    int savedStdout_ = -1;
};

#endif
