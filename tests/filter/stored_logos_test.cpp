// The job that stores logos in the printer: FS q n, then for each logo xL xH
// yL yH (units of 8 dots) and its dots column by column, each column from
// the top; and the limits of what FS q can carry.
#include <gtest/gtest.h>

#include "printer_bytes.h"
#include "stored_logos.h"

namespace {

// A logo of blank dots but those listed, as {x, y}.
LogoBitmap Logo(uint32_t width, uint32_t height, std::initializer_list<std::pair<uint32_t, uint32_t>> dots = {})
{
    LogoBitmap logo{width, height, std::vector<unsigned char>(size_t{(width + 7) / 8} * height, 0)};
    for (const auto& [x, y] : dots)
        logo.rows[y * ((width + 7) / 8) + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return logo;
}

std::string JobOf(const std::vector<LogoBitmap>& logos)
{
    std::string error;
    const std::optional<std::vector<unsigned char>> job = LogoStoringJob(logos, error);
    EXPECT_TRUE(job) << error;
    return job ? std::string(job->begin(), job->end()) : "";
}

// 10 x 3 dots become two units across and one down, padded with blank dots:
// 16 columns of one byte each.
TEST(StoredLogos, OneLogoGoesColumnByColumn)
{
    const std::string expected = Bytes({0x1B, 0x40, 0x1C, 0x71, 0x01, 0x02, 0x00, 0x01, 0x00,
                                        0x80, 0x40, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Hex(expected), Hex(JobOf({Logo(10, 3, {{0, 0}, {1, 1}, {9, 0}, {9, 2}})})));
}

// A column taller than 8 dots takes one byte per 8 dots, top first; the
// second logo's header follows the first logo's data.
TEST(StoredLogos, SeveralLogosFollowEachOther)
{
    const std::string first = Bytes({0x01, 0x00, 0x01, 0x00, 0x01, 0, 0, 0, 0, 0, 0, 0});
    const std::string second = Bytes({0x01, 0x00, 0x02, 0x00, 0x80, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Hex(Bytes({0x1B, 0x40, 0x1C, 0x71, 0x02}) + first + second),
              Hex(JobOf({Logo(8, 8, {{0, 7}}), Logo(8, 9, {{0, 0}, {0, 8}})})));
}

TEST(StoredLogos, LimitsOfTheCommandAreNamed)
{
    struct Case {
        std::vector<LogoBitmap> logos;
        const char* problem;  // "" when the set can be stored
    };
    const Case cases[] = {
        {{Logo(8184, 8)}, ""},
        {{Logo(8185, 8)}, "8185 dots wide: FS q takes at most 8184"},
        {{Logo(8, 2304)}, ""},
        {{Logo(8, 2305)}, "2305 dots tall: FS q takes at most 2304"},
        {std::vector<LogoBitmap>(255, Logo(8, 8)), ""},
        {std::vector<LogoBitmap>(256, Logo(8, 8)), "256 logos: FS q stores at most 255"},
        {{Logo(1024, 2048)}, ""},
        {{Logo(1024, 2048), Logo(8, 8)}, "262152 bytes: FS q defines at most 262144 bytes"},
        {{Logo(8, 8), Logo(0, 8)}, "logo 2 is empty"},
        {{}, "no logo"},
    };
    for (const Case& c : cases) {
        std::string error;
        const bool stored = LogoStoringJob(c.logos, error).has_value();
        EXPECT_EQ(*c.problem == '\0', stored) << c.problem;
        EXPECT_NE(std::string::npos, error.find(c.problem)) << error;
    }
}

}  // namespace
