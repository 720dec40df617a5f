#pragma once

// The engine's cells over the real widgets of the main window: a text box is a QLineEdit, a
// drop-down list a QComboBox, the tick box a QCheckBox, each found by its control name. The
// messages of the engine appear as the program's modal message box.

#include <QString>
#include <functional>
#include <map>
#include <string>

#include "engine/cells.h"

class QWidget;

namespace brimwell::ui {

class WindowCells final : public engine::Cells, public engine::MessageSink {
  public:
    // Gathers the cells among the window's children; the window must outlive the cells.
    explicit WindowCells(QWidget& window);

    std::string text(std::string_view name) const override;
    bool isTicked(std::string_view name) const override;
    // A drop-down list picks the item of that text (none for the empty text); a text that is
    // not one of its items throws std::invalid_argument, as a cell that is not there does.
    void setText(std::string_view name, std::string_view text) override;
    // A fixed colour paints the cell's base, its text black or white, whichever reads better on
    // it; the window background gives the cell back the base and text colours of the palette,
    // so they follow the user's colour scheme.
    void setBackground(std::string_view name, engine::Background background) override;
    void showMessage(std::string_view text) override;

    // The background as last set: a fixed colour, or the palette's own.
    engine::Background background(std::string_view name) const;

  private:
    QWidget& cell(std::string_view name) const;

    QWidget& m_window;
    std::map<std::string, QWidget*, std::less<>> m_cells;
};

// The program's message box: modal to parent, titled with the application's title, the
// exclamation icon and one OK button. Returns once the user has closed it.
void showWarning(QWidget* parent, const QString& text);
// The same box with the information icon, for what the pilot is told when all went well.
void showSummary(QWidget* parent, const QString& text);

// While a handler is set, showWarning and showSummary hand it the text instead and return at
// once, so that a test reads the program's messages as they are shown. An empty handler brings
// the box back.
void setWarningHandler(std::function<void(const QString&)> handler);

}  // namespace brimwell::ui
