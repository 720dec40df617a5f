#pragma once

// The contrast arithmetic of WCAG 2 that the window's colours follow: a text "reads well" on its
// background at a contrast of at least 4.5:1 (normal text), from 1:1 (the same colour) to 21:1
// (black on white).

#include <QColor>

namespace brimwell::ui {

// The least contrast of a text against its background that reads well.
inline constexpr double kLegibleContrast = 4.5;

// The contrast of two sRGB colours, from 1 to 21; the order of the two does not matter.
double contrast(const QColor& first, const QColor& second);

// The text colour for a cell painted in a fixed colour: black or white, whichever reads better.
QColor textColourOn(const QColor& background);

// The colour wanted if it reads well on background; else the same hue, lighter on a dark
// background or darker on a light one, as little as it takes.
QColor legibleOn(const QColor& wanted, const QColor& background);

}  // namespace brimwell::ui
