// The printer channel of a PAPPL job: every command goes to the printer's
// device, whatever its link (socket://, usb://, and later serial).
#ifndef KORLA_DEVICE_CHANNEL_H
#define KORLA_DEVICE_CHANNEL_H

#include <pappl/pappl.h>

#include "printer_channel.h"

class DeviceChannel : public PrinterChannel {
public:
    explicit DeviceChannel(pappl_device_t* device) : device_(device) {}
    long Write(const unsigned char* data, size_t len) override;
    // Sends what PAPPL still holds in its buffer; at the end of every job.
    void Flush();

private:
    pappl_device_t* device_;
};

#endif
