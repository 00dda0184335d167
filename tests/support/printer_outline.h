// What a job looks like to the printer: its commands in order, with the
// set-up sequence and the page images each standing as one word, and the
// images themselves, as the emulator's decoder reads the bytes.
#ifndef KORLA_TESTS_PRINTER_OUTLINE_H
#define KORLA_TESTS_PRINTER_OUTLINE_H

#include <ostream>
#include <string>
#include <vector>

#include "render/canvas.h"

// One raster image, rows of bytesPerRow bytes from the top down.
struct PageImage {
    unsigned bytesPerRow = 0;
    unsigned rows = 0;
    std::string data;

    bool operator==(const PageImage& other) const
    {
        return bytesPerRow == other.bytesPerRow && rows == other.rows && data == other.data;
    }
};
// Size and a digest, rather than megabytes of dots, in failure messages.
void PrintTo(const PageImage& image, std::ostream* out);

// Words of the outline: the printer set-up that starts the job and every page
// (ESC @ three times, then the eight set-up commands), and a GS v 0 image
// with its data. Every other command is its bytes as Hex() words, e.g.
// "1D 56 42 00".
inline const std::string SET_UP = "set-up";
inline const std::string IMAGE = "GS v 0 image";

struct Receipt {
    std::vector<std::string> outline;
    std::vector<PageImage> images;  // in the order they were printed
};

// Decodes a job's printer bytes; a decoding error becomes an "ERROR ..." word.
Receipt ReadReceipt(const std::string& bytes);

// How many words of the outline start with the word given ("1B 70" counts
// every drawer pulse).
int CountWords(const std::vector<std::string>& outline, const std::string& word);

// The paper the bytes make, as the emulator draws it.
render::Canvas PaperOf(const std::string& bytes, bool wholeDotFeeds);
// The first row where the two papers differ in ink across their first
// `dots` dots (the emulator's notes stand in a margin beyond), or -1.
int FirstDifferentRow(const render::Canvas& one, const render::Canvas& other, int dots);

#endif
