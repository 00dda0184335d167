// The printer channel of a PAPPL job: every command goes to the printer's
// device, whatever its link (socket://, usb://, serial:). While an image's
// rows are on their way, each slice goes to the link at once and what the
// image still owes is kept on disk (image_debt.h).
#ifndef KORLA_DEVICE_CHANNEL_H
#define KORLA_DEVICE_CHANNEL_H

#include <pappl/pappl.h>

#include "image_debt.h"
#include "printer_channel.h"

class DeviceChannel : public PrinterChannel {
public:
    DeviceChannel(pappl_job_t* job, pappl_device_t* device)
        : job_(job), device_(device), debt_(papplJobGetPrinter(job))
    {
    }
    long Write(const unsigned char* data, size_t len) override;
    bool Cancelled() const override { return papplJobIsCanceled(job_); }
    void ImageStarted(size_t bytes) override;
    // Sends what PAPPL still holds in its buffer; at the end of every job.
    void Flush();

private:
    pappl_job_t* job_;
    pappl_device_t* device_;
    ImageDebt debt_;
};

#endif
