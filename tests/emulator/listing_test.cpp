#include "listing/listing.h"

#include "bytes.h"
#include "decoder/decoder.h"

#include <gtest/gtest.h>

namespace {

struct ListingCase {
    const char* name;
    ByteVector bytes;
    const char* expected;  // the listing, one line per command
};

void PrintTo(const ListingCase& c, std::ostream* out) { *out << c.name; }


class Listing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(Listing, DescribesCommandsWithOffsets)
{
    EXPECT_EQ(listing::formatListing(escpos::decode(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Listing,
    ::testing::Values(
        ListingCase{"InitialiseAndSelect", hex("1B 40 1B 3D 01 1B 3D 00"),
                    "0000 ESC @ initialise\n0002 ESC = 1 select printer\n0005 ESC = 0 deselect printer\n"},
        ListingCase{"DefaultMotionUnit", hex("1D 50 B4 00"), "0000 GS P 180 0 motion units 1/180 in horizontal, default vertical\n"},
        ListingCase{"DriverSetUpThenEmptyPage", kDriverSetup + rasterHeader(72, 0),
                    "0000 ESC @ initialise\n0002 ESC @ initialise\n0004 ESC @ initialise\n"
                    "0006 ESC = 1 select printer\n0009 ESC R 0 international character set 0\n"
                    "0012 ESC t 2 character code table 2\n0015 ESC c 3 2 paper-end signal sensors 2\n"
                    "0019 ESC c 4 0 paper sensors to stop printing 0\n"
                    "0023 GS P 180 180 motion units 1/180 in horizontal, 1/180 in vertical\n"
                    "0027 GS v 0 raster image 72 bytes x 0 rows (mode 0, normal)\n"},
        ListingCase{"DrawerPulses", hex("1B 70 30 32 32 1B 70 31 64 64"),
                    "0000 ESC p drawer 1 pulse on=50 off=50\n0005 ESC p drawer 2 pulse on=100 off=100\n"},
        ListingCase{"CutsAndTheNul", hex("1D 56 42 00 1D 56 01 00 1D 56 30 1D 56 41 03"),
                    "0000 GS V 66 0 partial cut after feed\n0004 GS V 1 partial cut without feed\n"
                    "0007 NUL (ignored)\n0008 GS V 48 full cut without feed\n0011 GS V 65 3 full cut after feed\n"},
        ListingCase{"LogoBlock", hex("1B 64 01 1B 61 01 1C 70 01 00 1B 61 02"),
                    "0000 ESC d 1 print and feed 1 lines\n0003 ESC a 1 justify centre\n"
                    "0006 FS p 1 0 print stored logo 1 (mode 0, normal)\n0010 ESC a 2 justify right\n"},
        ListingCase{"StatusRequestTextAndFeeds", hex("10 04 02 4F 4B 0D 0A 1B 4A 16"),
                    "0000 DLE EOT 2 real-time status request (offline status)\n0003 text \"OK\"\n"
                    "0005 CR carriage return (ignored)\n0006 LF print and line feed\n"
                    "0007 ESC J 22 print and feed 22 motion units\n"},
        ListingCase{"ImageDataShort", rasterHeader(72, 800) + ByteVector(100),
                    "0000 GS v 0 raster image 72 bytes x 800 rows (mode 0, normal)\n"
                    "0000 ERROR at 0: GS v 0 announces 57600 bytes of image data, 100 arrive\n"}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

}  // namespace
