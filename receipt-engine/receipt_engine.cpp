#include "receipt_engine.h"

#include <algorithm>

#include "cmd_defs.h"
#include "const.h"
#include "trace.h"

ReceiptEngine::ReceiptEngine(std::optional<ReceiptSettings> settings, PrinterChannel& printer)
    : settings_(std::move(settings)), printer_(printer)
{
}

// One whole command. A command that has begun is finished even when the job
// is cancelled meanwhile; once cancelled, no new command begins.
int ReceiptEngine::WriteToPrinter(const unsigned char* szData, size_t nLen)
{
    if (szData == nullptr) {
        KORLALog("ERROR: Invaild write operation\n");
        return -1;
    }
    // A zero-length write sends nothing; skipping the call keeps it that way
    // on every kind of channel (a packet socket would send an empty record).
    if (nLen == 0)
        return 0;
    if (Cancelled()) {
        EndCancelledJob();
        return -1;
    }
    const long sent = SendWhole(szData, nLen);
    if (Cancelled())
        EndCancelledJob();
    return static_cast<int>(sent);
}

void ReceiptEngine::Send(const ORVIL_CMD& cmd)
{
    WriteToPrinter(reinterpret_cast<const unsigned char*>(cmd.Command), static_cast<size_t>(cmd.nCmdlen));
}

// The channel stops early only for a cancel; the rest goes on after it.
long ReceiptEngine::SendWhole(const unsigned char* data, size_t len)
{
    size_t sent = 0;
    while (sent < len) {
        const long written = printer_.Write(data + sent, len - sent);
        if (written <= 0)
            return sent > 0 ? static_cast<long>(sent) : -1;
        sent += static_cast<size_t>(written);
    }
    return static_cast<long>(sent);
}

// The image command GS v 0 for rows of bytesPerRow bytes: once it has gone
// out, the printer waits for the announced bytes whatever happens.
void ReceiptEngine::SendImageCommand(uint32_t bytesPerRow, uint32_t rows, size_t announcedBytes)
{
    const unsigned char command[8] = {
        0x1d, 0x76, 0x30, 0x00,
        static_cast<unsigned char>(bytesPerRow & 0xFF), static_cast<unsigned char>((bytesPerRow >> 8) & 0xFF),
        static_cast<unsigned char>(rows & 0xFF),        static_cast<unsigned char>((rows >> 8) & 0xFF),
    };
    if (Cancelled()) {
        EndCancelledJob();
        return;
    }
    SendWhole(command, sizeof command);
    imageBytesOwed_ = announcedBytes;
    printer_.ImageStarted(announcedBytes);
    if (Cancelled())
        EndCancelledJob();
}

// A page image's rows, announced by the image command just sent. A cancel
// cuts them short: EndCancelledJob sends the rest as blank rows.
void ReceiptEngine::WriteImageData(const unsigned char* data, size_t len)
{
    if (Cancelled()) {
        EndCancelledJob();
        return;
    }
    const long sent = printer_.Write(data, len);
    if (Cancelled()) {
        imageBytesOwed_ -= std::min(imageBytesOwed_, static_cast<size_t>(std::max(sent, 0L)));
        EndCancelledJob();
        return;
    }
    imageBytesOwed_ = 0;
}

void ReceiptEngine::EndCancelledJob()
{
    if (jobEnded_)
        return;
    jobEnded_ = true;
    static const unsigned char blankRows[4096] = {};
    while (imageBytesOwed_ > 0) {
        const size_t len = std::min(imageBytesOwed_, sizeof blankRows);
        if (SendWhole(blankRows, len) <= 0)
            break;
        imageBytesOwed_ -= len;
    }
    imageBytesOwed_ = 0;
    SendWhole(reinterpret_cast<const unsigned char*>(Initilize_Printer.Command),
              static_cast<size_t>(Initilize_Printer.nCmdlen));
}
