#include "engine/decimal_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tovik {

namespace {

// Whole numbers, the only ones the game meets, are read and written through the integer
// conversions, which every standard library has; the rest goes through the C library in the
// "C" number format, so the same text comes out on every platform and in the browser.
constexpr double kWholeLimit = 9007199254740992.0;  // 2^53: every whole double below is exact

bool isNumberText(std::string_view text) {
    // Optional sign, digits, an optional fraction, an optional exponent; nothing else.
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
        return at - from;
    };
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
            ++at;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return at == text.size();
}

}  // namespace

double toNumber(std::string_view text) {
    // Text that is not a number (only the empty text of an unset value occurs) counts as 0.
    std::int64_t whole = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, whole);
    if (error == std::errc{} && stop == end) {
        return static_cast<double>(whole);
    }
    if (!isNumberText(text) || text.front() == '+') {
        return 0;
    }
    // The text has been checked to hold only the C format's characters; a copy ends it.
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

std::string toDecimalText(double value) {
    if (value == 0 || std::isnan(value)) {
        return "0";  // never "-0"
    }
    if (std::trunc(value) == value && std::fabs(value) < kWholeLimit) {
        return std::to_string(static_cast<std::int64_t>(value));
    }
    // The shortest of the %g forms that reads back as the same number.
    std::array<char, 40> buffer{};
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, value);
        if (std::strtod(buffer.data(), nullptr) == value) {
            break;
        }
    }
    return std::string(buffer.data());
}

}  // namespace tovik
