// Where the printer's bytes go. The receipt engine hands the channel one
// whole command, or one page image's data, per call.
#ifndef KORLA_PRINTER_CHANNEL_H
#define KORLA_PRINTER_CHANNEL_H

#include <cstddef>

class PrinterChannel {
public:
    virtual ~PrinterChannel() = default;
    // Sends len bytes; returns how many were taken, or -1 when none could be.
    virtual long Write(const unsigned char* data, size_t len) = 0;
};

// A file descriptor, such as the filter's standard output, which CUPS
// connects to the printer's backend: one write call per command.
class FdPrinterChannel : public PrinterChannel {
public:
    explicit FdPrinterChannel(int fd) : fd_(fd) {}
    long Write(const unsigned char* data, size_t len) override;

private:
    int fd_;
};

#endif
