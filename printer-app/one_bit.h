// Grey pictures made one bit per dot, for a printer that prints a dot or
// none: a plain threshold keeps line art and text sharp, error diffusion
// (Floyd and Steinberg's) keeps the shades of a photo.
#ifndef KORLA_ONE_BIT_H
#define KORLA_ONE_BIT_H

#include <string>
#include <vector>

enum class Dither { Threshold, ErrorDiffusion };

inline constexpr int DEFAULT_THRESHOLD = 128;

// The word for a dither on a command line or a form, and back; nothing for
// a word that names none.
const char* DitherWord(Dither dither);
bool ParseDither(const std::string& word, Dither& dither);

// grey: width x height pixels from the top row, 0 black to 255 white.
// Returns rows of (width + 7) / 8 bytes, the leftmost dot in the high bit,
// a set bit where a dot prints: with Threshold where the grey is darker
// than threshold, with ErrorDiffusion so that each area gets the share of
// dots its grey asks for, threshold deciding each dot after its
// neighbours' errors are added.
std::vector<unsigned char> OneBitRows(const std::vector<unsigned char>& grey, unsigned width, unsigned height,
                                      Dither dither, int threshold = DEFAULT_THRESHOLD);

#endif
