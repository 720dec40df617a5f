#include "ui/colour_contrast.h"

#include <algorithm>
#include <cmath>

namespace brimwell::ui {

namespace {

// Relative luminance (WCAG 2) of an sRGB colour.
double luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

}  // namespace

double contrast(const QColor& first, const QColor& second) {
    const double la = luminance(first);
    const double lb = luminance(second);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textColourOn(const QColor& background) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrast(black, background) >= contrast(white, background) ? black : white;
}

// The lightness steps away from the background's, one at a time, hue and saturation kept.
QColor legibleOn(const QColor& wanted, const QColor& background) {
    if (contrast(wanted, background) >= kLegibleContrast) {
        return wanted;
    }
    const QColor hsl = wanted.toHsl();
    const int step = textColourOn(background) == QColor(Qt::white) ? 1 : -1;
    for (int lightness = hsl.lightness(); lightness >= 0 && lightness <= 255; lightness += step) {
        const QColor colour = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness);
        if (contrast(colour, background) >= kLegibleContrast) {
            return colour.toRgb();
        }
    }
    return textColourOn(background);
}

}  // namespace brimwell::ui
