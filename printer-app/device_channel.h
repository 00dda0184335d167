// The printer channel of a PAPPL job: every command goes to the printer's
// device, whatever its link (socket://, usb://, serial:).
#ifndef KORLA_DEVICE_CHANNEL_H
#define KORLA_DEVICE_CHANNEL_H

#include <pappl/pappl.h>

#include "printer_channel.h"

class DeviceChannel : public PrinterChannel {
public:
    DeviceChannel(pappl_job_t* job, pappl_device_t* device) : job_(job), device_(device) {}
    long Write(const unsigned char* data, size_t len) override;
    bool Cancelled() const override { return papplJobIsCanceled(job_); }
    // Sends what PAPPL still holds in its buffer; at the end of every job.
    void Flush();

private:
    pappl_job_t* job_;
    pappl_device_t* device_;
};

#endif
