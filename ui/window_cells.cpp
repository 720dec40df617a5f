#include "ui/window_cells.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <stdexcept>

#include "engine/program_texts.h"
#include "ui/colour_contrast.h"
#include "ui/qt_text.h"

namespace brimwell::ui {

using engine::Background;
using engine::kApplicationTitle;
using engine::Rgb;

namespace {

// A palette that inherits everything but the roles that were set on the widget, the base and
// the text excepted.
QPalette withoutOwnColours(const QPalette& current) {
    QPalette fresh;
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        const auto colourGroup = static_cast<QPalette::ColorGroup>(group);
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto colourRole = static_cast<QPalette::ColorRole>(role);
            if (colourRole != QPalette::Base && colourRole != QPalette::Text &&
                current.isBrushSet(colourGroup, colourRole)) {
                fresh.setBrush(colourGroup, colourRole, current.brush(colourGroup, colourRole));
            }
        }
    }
    return fresh;
}

std::function<void(const QString&)>& warningHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

}  // namespace

void setWarningHandler(std::function<void(const QString&)> handler) {
    warningHandler() = std::move(handler);
}

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    if (warningHandler()) {
        warningHandler()(text);
        return;
    }
    QMessageBox box(icon, toQString(kApplicationTitle), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void showWarning(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Warning, text);
}

void showSummary(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Information, text);
}

WindowCells::WindowCells(QWidget& window) : m_window(window) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(child) != nullptr ||
            qobject_cast<QComboBox*>(child) != nullptr ||
            qobject_cast<QCheckBox*>(child) != nullptr) {
            if (!child->objectName().isEmpty()) {
                m_cells.emplace(child->objectName().toStdString(), child);
            }
        }
    }
}

QWidget& WindowCells::cell(std::string_view name) const {
    const auto found = m_cells.find(name);
    if (found == m_cells.end()) {
        throw std::invalid_argument("no cell named " + std::string(name));
    }
    return *found->second;
}

std::string WindowCells::text(std::string_view name) const {
    QWidget& widget = cell(name);
    if (const auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        return edit->text().toStdString();
    }
    if (const auto* list = qobject_cast<QComboBox*>(&widget)) {
        // No item picked reads as the empty text.
        return list->currentIndex() < 0 ? std::string() : list->currentText().toStdString();
    }
    throw std::invalid_argument("no text cell named " + std::string(name));
}

bool WindowCells::isTicked(std::string_view name) const {
    if (const auto* box = qobject_cast<QCheckBox*>(&cell(name))) {
        return box->isChecked();
    }
    throw std::invalid_argument("no tick box named " + std::string(name));
}

void WindowCells::setText(std::string_view name, std::string_view text) {
    QWidget& widget = cell(name);
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        edit->setText(toQString(text));
        return;
    }
    if (auto* list = qobject_cast<QComboBox*>(&widget)) {
        const int item = list->findText(toQString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (item >= 0 || text.empty()) {
            list->setCurrentIndex(item);
            return;
        }
        throw std::invalid_argument(std::string(text) + " is not an item of " + std::string(name));
    }
    throw std::invalid_argument("no text cell named " + std::string(name));
}

void WindowCells::setBackground(std::string_view name, Background background) {
    auto* edit = qobject_cast<QLineEdit*>(&cell(name));
    if (edit == nullptr) {
        throw std::invalid_argument("no text box named " + std::string(name));
    }
    QPalette palette = withoutOwnColours(edit->palette());
    if (!background.isWindowBackground()) {
        const Rgb rgb = background.colour();
        const QColor colour(rgb.red, rgb.green, rgb.blue);
        palette.setColor(QPalette::Base, colour);
        palette.setColor(QPalette::Text, textColourOn(colour));
    }
    edit->setPalette(palette);
}

Background WindowCells::background(std::string_view name) const {
    const QPalette& palette = cell(name).palette();
    if (!palette.isBrushSet(QPalette::Active, QPalette::Base)) {
        return Background::windowBackground();
    }
    const QColor colour = palette.color(QPalette::Active, QPalette::Base);
    return Background::rgb(static_cast<std::uint8_t>(colour.red()),
                           static_cast<std::uint8_t>(colour.green()),
                           static_cast<std::uint8_t>(colour.blue()));
}

void WindowCells::showMessage(std::string_view text) {
    showWarning(&m_window, toQString(text));
}

}  // namespace brimwell::ui
