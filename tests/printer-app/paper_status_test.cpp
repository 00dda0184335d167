// What the roll paper sensor's answer to DLE EOT 4 shows on the printer.
#include <gtest/gtest.h>

#include "paper_status.h"

namespace {

struct Answer {
    unsigned char status;
    std::optional<pappl_preason_t> reasons;
};

class PaperAnswer : public ::testing::TestWithParam<Answer> {};

TEST_P(PaperAnswer, ShowsAsStateReasons)
{
    EXPECT_EQ(GetParam().reasons, PaperReasons(GetParam().status));
}

constexpr pappl_preason_t OUT = PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_NEEDED;

INSTANTIATE_TEST_SUITE_P(, PaperAnswer,
                         ::testing::Values(Answer{0x12, PAPPL_PREASON_NONE},
                                           Answer{0x1e, PAPPL_PREASON_MEDIA_LOW},  // both near-end bits
                                           Answer{0x16, PAPPL_PREASON_MEDIA_LOW},  // one of them
                                           Answer{0x7e, OUT},                      // near end and end
                                           Answer{0x72, OUT},                      // end alone
                                           // Not status bytes: a fixed bit missing or one set that never is.
                                           Answer{0x00, std::nullopt}, Answer{0x02, std::nullopt},
                                           Answer{0x10, std::nullopt}, Answer{0x13, std::nullopt},
                                           Answer{0x92, std::nullopt}, Answer{0xff, std::nullopt}));

}  // namespace
