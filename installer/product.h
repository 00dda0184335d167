// Product constants and buffer sizes shared by every part of the installer.
#pragma once

#include <cstddef>

constexpr const char PRODUCT_ID[] = "KORLA_tessa-300";
// Must occur in the device URI of a USB printer of this model.
constexpr const char MODEL_WORD[] = "Tessa-300";
constexpr const char FILTER_NAME[] = "RasterToKPrinter";

// What names a PPD file as this printer's: its *PCFileName and *ModelName.
constexpr const char PPD_PC_FILE_NAME[] = "KTESSA3.PPD";
constexpr const char PPD_MODEL_NAME[] = "KORLA Tessa-300";

constexpr std::size_t NAME_SIZE = 1024;     // queue names and device paths
constexpr std::size_t MID_SIZE = 4096;      // command lines, PPD names
constexpr std::size_t LARGE_SIZE = 10240;   // device URIs, network address
