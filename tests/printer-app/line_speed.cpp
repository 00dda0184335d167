#include "line_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

int PortSpeed(int fd)
{
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return -1;
    return static_cast<int>(settings.c_ospeed);
}
