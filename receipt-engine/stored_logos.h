// Logos stored in the printer's non-volatile memory. FS q defines them all
// at once, replacing every logo stored before; FS p n m prints logo n.
//
//   FS q n [xL xH yL yH d1...dk]1 ... [xL xH yL yH d1...dk]n
//
// x and y count units of 8 dots across and down. A logo's k = x * y * 8
// bytes run column by column from the left, each column from the top, the
// upper dot of a byte in its high bit.
#ifndef KORLA_STORED_LOGOS_H
#define KORLA_STORED_LOGOS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What FS q can carry: the bounds of its n, x and y fields, and the most
// image data that it may define in all.
inline constexpr unsigned LOGO_UNIT_DOTS = 8;
inline constexpr unsigned MAX_STORED_LOGOS = 255;
inline constexpr unsigned MAX_LOGO_WIDTH_UNITS = 1023;
inline constexpr unsigned MAX_LOGO_HEIGHT_UNITS = 288;
inline constexpr size_t MAX_STORED_LOGO_BYTES = size_t{256} * 1024;

// A logo as one bit per dot: rows from the top, each (width + 7) / 8 bytes,
// the leftmost dot in the high bit, a set bit printed.
struct LogoBitmap {
    uint32_t width = 0;   // dots
    uint32_t height = 0;  // dots
    std::vector<unsigned char> rows;

    bool Dot(uint32_t x, uint32_t y) const { return rows[size_t{y} * ((width + 7) / 8) + x / 8] & (0x80 >> (x % 8)); }
};

// The bytes of image data that FS q spends on the logo: its size rounded up
// to whole units, the rest blank.
size_t StoredLogoBytes(const LogoBitmap& logo);

// What keeps the logos from being stored together, naming the limit; ""
// when nothing does.
std::string StoredLogosProblem(const std::vector<LogoBitmap>& logos);

// The job that stores the logos as numbers 1 to N: ESC @, so that FS q
// begins a line, then FS q. Nothing, with error saying why, when the
// logos are beyond what FS q carries.
std::optional<std::vector<unsigned char>> LogoStoringJob(const std::vector<LogoBitmap>& logos, std::string& error);

#endif
