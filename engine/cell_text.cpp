#include "engine/cell_text.h"

#include "base/shown_text.h"

namespace brimwell::engine {

bool isPlainText(std::string_view text) {
    // Each character that the one rule for outside text replaces becomes a "?" that was not
    // there before, so a text is plain exactly when the rule leaves it as it is.
    return base::shownText(text, text.size()) == text;
}

std::size_t windowLength(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        // A character starts with a byte that continues none; one of four bytes (beyond the
        // 16-bit range) takes two code units.
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xc0U) != 0x80U ? 1 : 0;
        units += (byte & 0xf8U) == 0xf0U ? 1 : 0;
    }
    return units;
}

}  // namespace brimwell::engine
