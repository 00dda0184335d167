#include "image_debt.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app_folder.h"
#include "cmd_defs.h"

namespace {

// The count is written at a fixed width, so that each update overwrites
// the last in place.
constexpr char RECORD_FORMAT[] = "%020zu\n";
constexpr size_t RECORD_LENGTH = 21;

size_t RecordedDebt(const std::string& path)
{
    std::ifstream file(path);
    unsigned long long owed = 0;
    return file >> owed ? static_cast<size_t>(owed) : 0;
}

}  // namespace

std::string ImageDebtFile(pappl_printer_t* printer)
{
    return AppFolder() + "/image-owed-" + std::to_string(papplPrinterGetID(printer));
}

ImageDebt::ImageDebt(pappl_printer_t* printer) : path_(ImageDebtFile(printer)) {}

ImageDebt::~ImageDebt()
{
    if (fd_ >= 0)
        close(fd_);
}

void ImageDebt::Start(size_t bytes)
{
    owed_ = bytes;
    if (fd_ < 0)
        fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Record();
}

void ImageDebt::Paid(size_t bytes)
{
    if (owed_ == 0)
        return;
    owed_ -= std::min(owed_, bytes);
    if (owed_ > 0)
        Record();
    else
        Clear();
}

void ImageDebt::Record()
{
    char record[RECORD_LENGTH + 1];
    snprintf(record, sizeof record, RECORD_FORMAT, owed_);
    if (fd_ >= 0 && pwrite(fd_, record, RECORD_LENGTH, 0) != static_cast<ssize_t>(RECORD_LENGTH)) {
        close(fd_);
        fd_ = -1;
    }
}

void ImageDebt::Clear()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    unlink(path_.c_str());
}

bool OwesImage(pappl_printer_t* printer)
{
    return access(ImageDebtFile(printer).c_str(), F_OK) == 0;
}

void SettleImageDebt(pappl_printer_t* printer, pappl_device_t* device)
{
    if (!OwesImage(printer))
        return;
    const std::string path = ImageDebtFile(printer);
    const size_t owed = RecordedDebt(path);
    static const unsigned char blankRows[4096] = {};
    for (size_t left = owed; left > 0;) {
        const size_t slice = std::min(left, sizeof blankRows);
        if (papplDeviceWrite(device, blankRows, slice) != static_cast<ssize_t>(slice))
            return;  // the record stays for the next try
        left -= slice;
    }
    papplDeviceWrite(device, Initilize_Printer.Command, static_cast<size_t>(Initilize_Printer.nCmdlen));
    papplDeviceFlush(device);
    unlink(path.c_str());
    papplLogPrinter(printer, PAPPL_LOGLEVEL_WARN,
                    "An image was cut off when the server last stopped: sent its last %lu bytes as blank rows, "
                    "then ESC @.",
                    static_cast<unsigned long>(owed));
}
