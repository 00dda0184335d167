#include "receipt_engine.h"

#include "const.h"
#include "trace.h"

ReceiptEngine::ReceiptEngine(std::optional<ReceiptSettings> settings, PrinterChannel& printer)
    : settings_(std::move(settings)), printer_(printer)
{
}

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
    return static_cast<int>(printer_.Write(szData, nLen));
}

void ReceiptEngine::Send(const ORVIL_CMD& cmd)
{
    WriteToPrinter(reinterpret_cast<const unsigned char*>(cmd.Command), static_cast<size_t>(cmd.nCmdlen));
}
