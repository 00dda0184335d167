#include "device_channel.h"

long DeviceChannel::Write(const unsigned char* data, size_t len)
{
    return static_cast<long>(papplDeviceWrite(device_, data, len));
}

void DeviceChannel::Flush()
{
    papplDeviceFlush(device_);
}
