// Where the printer's bytes go. The receipt engine hands the channel one
// whole command, or one page image's data, per call.
#ifndef KORLA_PRINTER_CHANNEL_H
#define KORLA_PRINTER_CHANNEL_H

#include <csignal>
#include <cstddef>

class PrinterChannel {
public:
    virtual ~PrinterChannel() = default;
    // Sends the bytes, all of them unless the job is cancelled meanwhile:
    // then it may stop early. Returns how many went out, or -1 when none
    // could be sent.
    virtual long Write(const unsigned char* data, size_t len) = 0;
    // Whether the job has been cancelled.
    virtual bool Cancelled() const = 0;
    // An image command has been written: the printer takes the next `bytes`
    // bytes as its rows, whatever they are. A channel whose process may die
    // in the middle of an image keeps the count where the next one finds it.
    virtual void ImageStarted(size_t /*bytes*/) {}
};

// A file descriptor, such as the filter's standard output, which CUPS
// connects to the printer's backend: one write call per command, as long
// as the descriptor takes it whole.
class FdPrinterChannel : public PrinterChannel {
public:
    // cancelled, where given, is raised (by a signal handler) when the job
    // is cancelled; a write that the signal interrupts then returns early.
    explicit FdPrinterChannel(int fd, const volatile sig_atomic_t* cancelled = nullptr)
        : fd_(fd), cancelled_(cancelled)
    {
    }
    long Write(const unsigned char* data, size_t len) override;
    bool Cancelled() const override { return cancelled_ != nullptr && *cancelled_; }

private:
    int fd_;
    const volatile sig_atomic_t* cancelled_;
};

#endif
