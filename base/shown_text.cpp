#include "base/shown_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace brimwell::base {

namespace {

constexpr char kReplacement = '?';

// The length of the valid UTF-8 sequence at the start of text (1 to 4) and its code point, or
// 0 when the bytes there are no valid sequence: a stray continuation byte, an overlong form, a
// surrogate, a code point above U+10FFFF or a sequence cut short.
struct Sequence {
    std::size_t length = 0;
    char32_t codePoint = 0;
};

Sequence decode(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    if (lead < 0x80) {
        return {1, lead};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;  // the smallest code point that needs this many bytes
    if ((lead & 0xe0U) == 0xc0U) {
        length = 2;
        codePoint = lead & 0x1fU;
        smallest = 0x80;
    } else if ((lead & 0xf0U) == 0xe0U) {
        length = 3;
        codePoint = lead & 0x0fU;
        smallest = 0x800;
    } else if ((lead & 0xf8U) == 0xf0U) {
        length = 4;
        codePoint = lead & 0x07U;
        smallest = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xc0U) != 0x80U) {
            return {};
        }
        codePoint = (codePoint << 6U) | (next & 0x3fU);
    }
    if (codePoint < smallest || codePoint > 0x10ffff ||
        (codePoint >= 0xd800 && codePoint <= 0xdfff)) {
        return {};
    }
    return {length, codePoint};
}

// Characters that act on the text around them instead of showing.
bool isControl(char32_t c) {
    constexpr std::array<char32_t, 5> kSingles = {0x061c, 0x200e, 0x200f, 0x2028, 0x2029};
    for (const char32_t single : kSingles) {
        if (c == single) {
            return true;
        }
    }
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string shownText(std::string_view outside, std::size_t longest) {
    std::string shown;
    shown.reserve(std::min(outside.size(), longest * 4) + 3);
    std::size_t characters = 0;
    while (!outside.empty()) {
        if (characters == longest) {
            return shown + "...";
        }
        const Sequence sequence = decode(outside);
        if (sequence.length == 0) {
            shown.push_back(kReplacement);
            outside.remove_prefix(1);
        } else {
            if (isControl(sequence.codePoint)) {
                shown.push_back(kReplacement);
            } else {
                shown.append(outside.substr(0, sequence.length));
            }
            outside.remove_prefix(sequence.length);
        }
        ++characters;
    }
    return shown;
}

std::string shownAddress(std::string_view address) {
    const auto at = address.rfind('@');
    if (at == std::string_view::npos) {
        return shownText(address);
    }
    const auto scheme = address.find("://");
    const std::string_view kept = scheme != std::string_view::npos && scheme + 3 <= at
                                      ? address.substr(0, scheme + 3)
                                      : std::string_view();
    return shownText(std::string(kept) + "..." + std::string(address.substr(at)));
}

}  // namespace brimwell::base
