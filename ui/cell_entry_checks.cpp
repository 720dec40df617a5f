#include "ui/cell_entry_checks.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/cell_limits.h"
#include "engine/digit_keys.h"
#include "engine/units.h"
#include "ui/control_catalogue.h"
#include "ui/qt_text.h"
#include "ui/window_cells.h"

namespace brimwell::ui {

using engine::FieldLimit;
using engine::fieldLimit;
using engine::isAcceptedKey;
using engine::isRefused;
using engine::kDigitCells;
using engine::kFieldLimits;
using engine::UnitCells;

namespace {

// The entry rule of a cell that takes digits only, with the limit it is checked against when it
// is left, if it has one.
struct EntryRule {
    std::string_view cell;
    const FieldLimit* limit;
};

// Every limit is of a cell that takes digits only, so the rules of the digit cells hold them all.
static_assert(std::all_of(kFieldLimits.begin(), kFieldLimits.end(), [](const FieldLimit& limit) {
    return std::find(kDigitCells.begin(), kDigitCells.end(), limit.cell) != kDigitCells.end();
}));

// The one table of the cells' entry rules, made from what the engine says of them.
constexpr std::array<EntryRule, kDigitCells.size()> kEntryRules = [] {
    std::array<EntryRule, kDigitCells.size()> rules{};
    for (std::size_t i = 0; i < kDigitCells.size(); ++i) {
        const auto* limit =
            std::find_if(kFieldLimits.begin(), kFieldLimits.end(),
                         [&](const FieldLimit& rule) { return rule.cell == kDigitCells[i]; });
        rules[i] = {kDigitCells[i], limit == kFieldLimits.end() ? nullptr : limit};
    }
    return rules;
}();

// The rule of a control by its name: none for a control that takes any text, or no text.
const EntryRule* entryRuleOf(const QWidget& control) {
    const std::string name = control.objectName().toStdString();
    const auto* found = std::find_if(kEntryRules.begin(), kEntryRules.end(),
                                     [&](const EntryRule& rule) { return rule.cell == name; });
    return found == kEntryRules.end() ? nullptr : found;
}

}  // namespace

CellEntryChecks::CellEntryChecks(QWidget& window, const Controls& controls, const UnitCells& cells,
                                 std::function<bool(QEvent&)> drop)
    : m_window(window), m_cells(cells), m_drop(std::move(drop)) {
    for (const ControlDescription& description : controlCatalogue()) {
        if (takesFocus(description.kind)) {
            controls.at(std::string(description.name))->installEventFilter(this);
        }
    }
    for (const EntryRule& rule : kEntryRules) {
        // Typed characters pass the key filter one by one; an input method would go round it.
        controls.at(std::string(rule.cell))->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

// An empty cell passes; a value above the limit, or pasted text that is not a whole number,
// is refused. A weight is judged by its pounds, which the pair it was converted by keeps
// (140912 lbs shows as 63917 kg), and refused with the warning of the unit shown.
bool CellEntryChecks::refuses(const QWidget& cell) {
    const EntryRule* rule = entryRuleOf(cell);
    if (rule == nullptr || rule->limit == nullptr ||
        !isRefused(*rule->limit, m_cells.text(rule->cell))) {
        return false;
    }
    showWarning(&m_window, toQString(fieldLimit(rule->cell, m_cells.unit())->warning));
    return true;
}

bool CellEntryChecks::mayLeaveFocusFor(const QWidget* target) {
    const QWidget* current = m_window.focusWidget();
    return current == nullptr || current == target || !refuses(*current);
}

bool CellEntryChecks::filterTypedKey(QWidget& cell, QKeyEvent& event) {
    const QString typed = event.text();
    // Control-key combinations (copy, paste, select all...) reach the cell as control
    // characters; Control with Alt is how some keyboards type characters, so those are
    // filtered.
    const Qt::KeyboardModifiers chord =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (entryRuleOf(cell) == nullptr || typed.isEmpty() || chord == Qt::ControlModifier ||
        chord == Qt::MetaModifier) {
        return false;
    }
    QString kept;
    for (const QChar character : typed) {
        // The Delete key types DEL (127) on the X11 desktop. It is an editing key, not a
        // character, and reaches the cell like Backspace.
        if (character.unicode() == 0x7f) {
            kept.append(character);
            continue;
        }
        if (isAcceptedKey(character.unicode())) {
            kept.append(character);
        }
    }
    if (kept == typed) {
        return false;
    }
    if (!kept.isEmpty()) {
        qobject_cast<QLineEdit*>(&cell)->insert(kept);
    }
    return true;
}

bool CellEntryChecks::mayTakeClick(QWidget& clicked) {
    const QPointer<QWidget> cellLeft = std::exchange(m_cellLeftByClick, nullptr);
    if (cellLeft == nullptr || cellLeft == &clicked || m_window.focusWidget() != &clicked) {
        return true;
    }
    if (!refuses(*cellLeft)) {
        return true;
    }
    if (cellLeft != nullptr) {  // the warning's box may have seen it go
        cellLeft->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool CellEntryChecks::pressButtonByAccessKey(QWidget& button) {
    if (mayLeaveFocusFor(&button)) {
        button.setFocus(Qt::ShortcutFocusReason);
        qobject_cast<QAbstractButton*>(&button)->click();
    }
    return true;
}

bool CellEntryChecks::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto& key = static_cast<QKeyEvent&>(*event);
            const bool focusKey = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
            if (focusKey && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                return !mayLeaveFocusFor(nullptr);
            }
            return filterTypedKey(*widget, key);
        }
        case QEvent::FocusOut: {
            // A click gives the focus to the clicked control before the click reaches it; the
            // cell so left is checked when the click arrives.
            const EntryRule* rule = entryRuleOf(*widget);
            if (static_cast<QFocusEvent&>(*event).reason() == Qt::MouseFocusReason &&
                rule != nullptr && rule->limit != nullptr) {
                m_cellLeftByClick = widget;
            }
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return !mayTakeClick(*widget);
        case QEvent::Shortcut:
            if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
                return pressButtonByAccessKey(*widget);
            }
            return false;
        case QEvent::Wheel:
            return qobject_cast<QComboBox*>(widget) != nullptr && !widget->hasFocus();
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            // A file dropped on a cell is a flight plan to open, not a text to type.
            return m_drop(*event);
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace brimwell::ui
