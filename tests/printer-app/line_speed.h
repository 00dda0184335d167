// The output speed of a serial port as the kernel keeps it, in baud: also
// rates termios has no constant for.
#pragma once

// -1 when the port does not say.
int PortSpeed(int fd);
