#include <gtest/gtest.h>

#include "engine/decimal_text.h"

namespace tovik {
namespace {

TEST(DecimalText, WholeNumbersRoundTripInTheirShortestForm) {
    EXPECT_EQ(toDecimalText(60), "60");
    EXPECT_EQ(toDecimalText(-8), "-8");
    EXPECT_EQ(toDecimalText(0), "0");
    EXPECT_EQ(toDecimalText(-0.0), "0");
    EXPECT_EQ(toDecimalText(toNumber("82") - 5), "77");
    EXPECT_EQ(toNumber("-12"), -12);
}

TEST(DecimalText, UnsetTextCountsAsZero) {
    EXPECT_EQ(toNumber(""), 0);
    EXPECT_EQ(toNumber("abc"), 0);
}

}  // namespace
}  // namespace tovik
