#pragma once

// The layout of the main window as data: one description per control, in the order the window
// builds them (containers before their children). Positions and sizes are in twips (1/1440
// inch) relative to the top-left corner of the container; the window shows 15 twips a pixel.

#include <optional>
#include <span>
#include <string_view>

#include "engine/cells.h"

namespace brimwell::ui {

enum class ControlKind { Frame, Label, TextBox, ComboBox, CommandButton, CheckBox, PictureBox };

enum class Alignment { Left, Right, Centred };

// A text colour: none (the system default of the kind), a fixed RGB value, or the system's
// window-frame colour.
enum class TextColourKind { SystemDefault, Rgb, SystemWindowFrame };
struct TextColour {
    TextColourKind kind = TextColourKind::SystemDefault;
    engine::Rgb rgb{};
};

// Family, size in points and weight; never italic, underlined or struck through. An empty
// family means the control shows no text (the pictures).
struct FontDescription {
    std::string_view family{};
    double points = 0.0;
    bool bold = false;
};

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A row of the catalogue; every field has a default, so a row names only what it sets.
struct ControlDescription {
    std::string_view name{};
    ControlKind kind = ControlKind::Label;
    // The name of the frame that holds the control; empty for the window itself.
    std::string_view container{};
    // A caption (an '&' marks the access key), a text box's initial text, or for a picture box
    // the resource path of its photograph.
    std::string_view caption{};
    std::span<const std::string_view> list{};
    std::string_view tooltip{};
    std::optional<engine::Rgb> background{};
    TextColour textColour{};
    FontDescription font{};
    Alignment alignment = Alignment::Left;
    bool locked = false;
    int tabIndex = 0;
    Twips place{};
    // What assistive technology announces: the name of a cell (its row caption) or picture,
    // and what a button does.
    std::string_view accessibleName{};
    std::string_view accessibleDescription{};
};

struct WindowDescription {
    std::string_view title{};
    int clientWidth = 0;   // twips
    int clientHeight = 0;  // twips
    std::string_view icon16{};
    std::string_view icon32{};
};

// A text of the window that names pounds, and what it says while the window shows kilograms;
// in pounds it says what its control's row of the catalogue says.
enum class TextRole { Caption, Tooltip, AccessibleName };
struct KilogramText {
    std::string_view control{};
    TextRole role = TextRole::Caption;
    std::string_view kilograms{};
};

inline constexpr int kTwipsPerPixel = 15;

const WindowDescription& windowDescription();

// The 89 controls of the window.
std::span<const ControlDescription> controlCatalogue();

// Every text of the controls that names pounds.
std::span<const KilogramText> kilogramTexts();

}  // namespace brimwell::ui
