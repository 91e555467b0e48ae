#include "engine/decimal_text.h"

#include <array>
#include <charconv>

namespace tovik {

double toNumber(std::string_view text) {
    double value = 0;
    // Text that is not a number (only the empty text of an unset value occurs) counts as 0.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return 0;
    }
    return value;
}

std::string toDecimalText(double value) {
    if (value == 0) {
        return "0";  // never "-0"
    }
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("0");
}

}  // namespace tovik
