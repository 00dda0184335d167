// A picture of logos as they will print: black dots on white paper as wide
// as the roll's printable width, one logo below the other, left-justified,
// with a grey band between two.
#ifndef KORLA_LOGO_PREVIEW_H
#define KORLA_LOGO_PREVIEW_H

#include <optional>
#include <string>
#include <vector>

#include "stored_logos.h"

// A PNG file's bytes; nothing, with error, when libpng cannot write it.
std::optional<std::vector<unsigned char>> LogoPreviewPng(const std::vector<LogoBitmap>& logos, unsigned paperWidth,
                                                         std::string& error);

#endif
