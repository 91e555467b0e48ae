#pragma once

#include <string>
#include <string_view>

namespace tovik {

// The game keeps every number as its decimal text ("60", "-8"). A calculation reads the text
// as a number and writes the result back in its shortest form: no leading blank, a minus sign
// for negative values, no decimal point for whole values.
double toNumber(std::string_view text);
std::string toDecimalText(double value);

}  // namespace tovik
