// The printer channel of a PAPPL job: every command goes to the printer's
// device, whatever its link (socket://, usb://, serial:). A link that
// breaks ends the job early, as a cancel does, and the job is told how far
// it got.
#ifndef KORLA_DEVICE_CHANNEL_H
#define KORLA_DEVICE_CHANNEL_H

#include <pappl/pappl.h>

#include "printer_channel.h"

class DeviceChannel : public PrinterChannel {
public:
    DeviceChannel(pappl_job_t* job, pappl_device_t* device);
    long Write(const unsigned char* data, size_t len) override;
    // Cancelled, or the link broke: either way nothing more is worth sending.
    bool Cancelled() const override { return broken_ || papplJobIsCanceled(job_); }
    // Sends what PAPPL still holds in its buffer and waits until the
    // printer has taken it (a network printer acknowledges what it reads);
    // at the end of every job. False when not every byte reached the
    // printer: the job's message then says how many did.
    bool Flush();

private:
    size_t BytesDelivered() const;
    bool AwaitPrinter();
    void ReportBrokenLink(size_t unacknowledged = 0);

    pappl_job_t* job_;
    pappl_device_t* device_;
    size_t deliveredBefore_;  // what the device had delivered when the job began
    size_t handed_ = 0;       // bytes of this job given to the device
    bool broken_ = false;
};

#endif
