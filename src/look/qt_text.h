#pragma once

#include <QString>

#include <string_view>

namespace tovik {

// The game keeps its texts as UTF-8; Qt draws QStrings.
inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace tovik
