#pragma once

// How the engine sees the window: a set of cells named by their control names, and a sink for
// the messages that the window shows in a message box. The main window provides the real ones;
// MemoryCells serves the tests and the headless planner.

#include <cstdint>
#include <string>
#include <string_view>

namespace brimwell::engine {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A cell background: a fixed RGB colour, or the platform's colour for window backgrounds,
// which follows the user's colour scheme and so has no fixed value.
class Background final {
  public:
    static constexpr Background windowBackground() { return Background(); }
    static constexpr Background rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return Background(Rgb{red, green, blue});
    }

    constexpr bool isWindowBackground() const { return m_isWindowBackground; }
    // The fixed colour; meaningless for the window background.
    constexpr Rgb colour() const { return m_colour; }

    friend constexpr bool operator==(const Background& a, const Background& b) {
        return a.m_isWindowBackground == b.m_isWindowBackground &&
               (a.m_isWindowBackground || a.m_colour == b.m_colour);
    }

  private:
    constexpr Background() = default;
    constexpr explicit Background(Rgb colour) : m_isWindowBackground(false), m_colour(colour) {}

    bool m_isWindowBackground = true;
    Rgb m_colour;
};

inline constexpr Background kInputBlue = Background::rgb(128, 255, 255);
inline constexpr Background kFixedYellow = Background::rgb(255, 255, 0);
inline constexpr Background kLimitRed = Background::rgb(255, 0, 0);

// Read-only view of the cells, all the printed report needs.
class CellReader {
  public:
    virtual ~CellReader() = default;
    // The text of a text box, or the selected item of a drop-down list ("" while none is).
    virtual std::string text(std::string_view name) const = 0;
    // Whether the tick box of that name is ticked.
    virtual bool isTicked(std::string_view name) const = 0;
};

class Cells : public CellReader {
  public:
    // Replaces the whole text of a text box, locked ones included.
    virtual void setText(std::string_view name, std::string_view text) = 0;
    virtual void setBackground(std::string_view name, Background background) = 0;
};

// The modal message box of the program: its text, one OK button, the exclamation icon and the
// application's title. Returns once the user has closed it.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string_view text) = 0;
};

}  // namespace brimwell::engine
