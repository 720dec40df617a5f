#pragma once

// Builds the main window from its control catalogue (ui/control_catalogue.h): the title and
// icon, and every control with its place, font, colours, tooltip and picture. The window's
// behaviour is in ui/main_window.h and the parts it composes.
//
// Colours: the layout's own where they read well, else the nearest that does. A cell painted in
// a fixed colour (the blue input cells and lists, the yellow txtBOW, a red cell over its limit)
// shows its text in black or white, whichever reads better on it, unless the layout's text colour
// reads well there. A caption in a fixed colour of the layout (the title, the credit line, the
// note below the title) keeps its hue and turns lighter or darker until it reads on the window's
// present background, which follows the user's colour scheme. "Reads well" is a contrast of at
// least 4.5:1 (WCAG 2, ui/colour_contrast.h).

#include <functional>
#include <map>
#include <string>

#include "engine/units.h"
#include "ui/control_catalogue.h"

class QWidget;

namespace brimwell::ui {

// The window's controls by name.
using Controls = std::map<std::string, QWidget*, std::less<>>;

// Titles the window of client and gives it its icon and desktop file name; makes the controls as
// children of client (or of its frames), at the layout's coordinates, in the focus chain of the
// layout's tab order, and gives client the layout's size.
Controls buildWindow(QWidget& client);

// Gives the controls their colours against the window's present palette; again whenever the
// palette changes.
void applyColours(const Controls& controls);

// Gives the controls the texts that name the unit of weight: the catalogue's in pounds, those of
// kilogramTexts in kilograms. The items of the minimum landing fuel list are relabelled in place,
// its choice kept.
void showUnitTexts(const Controls& controls, engine::Unit unit);

// Whether a control of this kind takes the focus: all but frames and labels.
bool takesFocus(ControlKind kind);

}  // namespace brimwell::ui
