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

TEST(DecimalText, LargeAndFractionalValuesKeepTheirShortestForm) {
    EXPECT_EQ(toDecimalText(123456789012.0), "123456789012");
    EXPECT_EQ(toDecimalText(-4503599627370496.0), "-4503599627370496");
    EXPECT_EQ(toDecimalText(1e20), "1e+20");
    EXPECT_EQ(toDecimalText(0.5), "0.5");
    EXPECT_EQ(toDecimalText(-2.25), "-2.25");
    EXPECT_EQ(toDecimalText(0.1), "0.1");
    EXPECT_EQ(toNumber("2.5"), 2.5);
    EXPECT_EQ(toNumber("-0.25"), -0.25);
    EXPECT_EQ(toNumber("1e3"), 1000);
}

TEST(DecimalText, UnsetTextCountsAsZero) {
    EXPECT_EQ(toNumber(""), 0);
    EXPECT_EQ(toNumber("abc"), 0);
    for (const char* notANumber : {"+5", " 5", "5 ", "5x", "-", ".", "1e", "--1", "1.2.3"}) {
        EXPECT_EQ(toNumber(notANumber), 0) << notANumber;
    }
}

}  // namespace
}  // namespace tovik
