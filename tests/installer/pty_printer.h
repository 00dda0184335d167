// A printer on a serial line, played by a pseudo-terminal: the installer
// opens the slave side, a thread on the master side answers every status
// request (DLE EOT 2) with a fixed byte, or stays silent.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <termios.h>
#include <thread>

class PtyPrinter {
public:
    // reply: the status byte sent for every request; nothing keeps it silent.
    explicit PtyPrinter(std::optional<unsigned char> reply);
    ~PtyPrinter();
    PtyPrinter(const PtyPrinter&) = delete;
    PtyPrinter& operator=(const PtyPrinter&) = delete;

    bool ok() const { return ok_; }
    // /dev/pts/N, the side that the installer opens.
    const std::string& slavePath() const { return slavePath_; }
    int requestsSeen() const { return requests_; }

    // The port's line settings, shared by every opening of the slave side.
    bool SetLineSettings(const termios& settings);
    std::optional<termios> LineSettings() const;

private:
    void Answer();

    std::optional<unsigned char> reply_;
    int master_ = -1;
    int slave_ = -1;  // held open so that the master never sees a hang-up
    int stop_[2] = {-1, -1};
    bool ok_ = false;
    std::string slavePath_;
    std::atomic<int> requests_{0};
    std::thread responder_;
};
