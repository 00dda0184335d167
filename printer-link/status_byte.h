// The real-time status request DLE EOT n and the rule that reads the
// printer's one-byte answer, for everything that asks the printer (the
// installer's probe, the printer application) or answers as one (the
// emulator).
#ifndef KORLA_STATUS_BYTE_H
#define KORLA_STATUS_BYTE_H

#include <array>

// What DLE EOT n asks for.
enum class StatusKind : unsigned char { Printer = 1, OffLine = 2, Error = 3, PaperSensor = 4 };

inline constexpr unsigned char DLE = 0x10;
inline constexpr unsigned char EOT = 0x04;

constexpr std::array<unsigned char, 3> StatusRequest(StatusKind kind)
{
    return {DLE, EOT, static_cast<unsigned char>(kind)};
}

// Every status byte, whatever n asked for, has bits 1 and 4 set and bits 0
// and 7 clear; the other bits report.
inline constexpr unsigned char STATUS_FIXED_MASK = 0x93;
inline constexpr unsigned char STATUS_FIXED_BITS = 0x12;

// Whether a byte that came back is a printer's status byte.
constexpr bool IsStatusByte(unsigned char answer)
{
    return (answer & STATUS_FIXED_MASK) == STATUS_FIXED_BITS;
}

#endif
