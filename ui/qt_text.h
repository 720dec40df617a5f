#pragma once

// The engine, the links and the flight-plan reader speak UTF-8 in standard strings; Qt's widgets
// take QString. Every text of theirs that the window shows crosses here.

#include <QString>
#include <string_view>

namespace brimwell::ui {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace brimwell::ui
