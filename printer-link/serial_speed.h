// Baud rates that termios has no constant for (14400), through the Linux
// kernel's termios2 interface: a file of its own because its headers clash
// with <termios.h>.
#ifndef KORLA_SERIAL_SPEED_H
#define KORLA_SERIAL_SPEED_H

// Sets the input and output speed of the open port to any rate. False when
// refused.
bool SetCustomLineSpeed(int fd, int baud);

#endif
