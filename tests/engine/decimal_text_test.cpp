#include <gtest/gtest.h>

#include "engine/decimal_text.h"

namespace tovik {
namespace {

TEST(DecimalText, NumbersRoundTripInTheirShortestFormAndOtherTextCountsAsZero) {
    const std::pair<double, const char*> written[] = {
        {60, "60"},
        {-8, "-8"},
        {0, "0"},
        {-0.0, "0"},
        {123456789012.0, "123456789012"},
        {-4503599627370496.0, "-4503599627370496"},
        {1e20, "1e+20"},
        {0.5, "0.5"},
        {-2.25, "-2.25"},
        {0.1, "0.1"},
    };
    for (const auto& [number, text] : written) {
        EXPECT_EQ(toDecimalText(number), text);
        EXPECT_EQ(toNumber(text), number) << text;
    }
    EXPECT_EQ(toDecimalText(toNumber("82") - 5), "77");
    EXPECT_EQ(toNumber("1e3"), 1000);
    for (const char* notANumber :
         {"", "abc", "+5", " 5", "5 ", "5x", "-", ".", "1e", "--1", "1.2.3"}) {
        EXPECT_EQ(toNumber(notANumber), 0) << notANumber;
    }
}

}  // namespace
}  // namespace tovik
