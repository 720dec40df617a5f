// Thousands of random keystrokes, pastes and clicks on the real window, drawn from a seed that
// the output names, so that a failing run can be replayed step for step:
//
//   BRIMWELL_MONKEY_SEED=<seed> BRIMWELL_MONKEY_ACTIONS=<count> ui_monkey_test
//
// (BRIMWELL_MONKEY_TRACE=1 also prints every step). Every step is checked as it happens:
//
// - A key typed into a text box does what it does in a plain text box of the same text, cursor
//   and selection, except that the five digit cells drop every printable character that is no
//   digit. Any other step leaves every cell but the one it is aimed at as it was.
// - Leaving a cell whose value is refused (Tab, Shift+Tab, a click elsewhere, an access key)
//   shows that cell's warning and nothing else, keeps the focus in the cell and changes nothing;
//   a button so pressed does nothing.
// - Calculate (clicked, by its access key or Space) leaves the window showing what the engine
//   shows when it runs on MemoryCells that hold the same cells as the window just before the
//   press: the same fifteen result texts and colours and the same messages, so either the plan
//   or the failure message with the results written up to the failure.
// - Clear empties the fifteen results and gives them back the window background; nothing else
//   changes. Print hands a recording printer exactly the operations that the report makes of
//   the same cells, and changes nothing.
// - A click on a drop-down list opens it; the item picked by the arrow keys and Enter or by a
//   click is the one shown, Escape keeps the one before. The mouse wheel turns the list that
//   holds the focus by one item and no other list.
// - Exit is one of the random actions: it must close the window without a message; the test
//   then opens a fresh window and goes on with it. At the end the window is still open.
//
// The offscreen platform does not always give the activation back to the window when a message
// box closes, as a desktop does; the monkey activates the window again before its next step,
// so that the access keys reach it.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <span>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/fuel_planner.h"
#include "engine/memory_cells.h"
#include "report/print_command.h"
#include "window_driver.h"

using namespace brimwell;
using namespace brimwell::test;

namespace {

constexpr quint64 kDefaultSeed = 20261207;
constexpr int kDefaultActions = 4000;

// The handler that was installed before the test's own, which Qt hands back only once, when the
// test installs its own: it has to be kept somewhere.
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
QtMessageHandler previousHandler = nullptr;

// The offscreen platform says for every popup and message box that it cannot raise windows or
// grab the keyboard; thousands of those lines would bury the monkey's own.
void withoutPlatformChatter(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    previousHandler(type, context, message);
}

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

quint64 seedFromEnvironment() {
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("BRIMWELL_MONKEY_SEED").toULongLong(&ok);
    return ok ? seed : kDefaultSeed;
}

int actionsFromEnvironment() {
    bool ok = false;
    const int actions = qEnvironmentVariableIntValue("BRIMWELL_MONKEY_ACTIONS", &ok);
    return ok && actions >= 0 ? actions : kDefaultActions;
}

bool isDigitCell(const QString& name) {
    return std::any_of(kDigitCells.begin(), kDigitCells.end(),
                       [&](std::string_view cell) { return toQ(cell) == name; });
}

// The warning that leaving this control shows now, if its value is refused.
std::optional<QString> refusal(const QWidget* control) {
    const auto* edit = qobject_cast<const QLineEdit*>(control);
    if (edit == nullptr) {
        return std::nullopt;
    }
    const auto rule = fieldLimit(edit->objectName().toStdString());
    if (!rule || !isRefused(*rule, edit->text().toStdString())) {
        return std::nullopt;
    }
    return toQ(rule->warning);
}

// The control that a click on target gives the focus to, as the toolkit picks it: the target or
// the nearest of its containers that takes the focus by a click. Null when none does.
QWidget* focusTakerOf(QWidget* target) {
    for (QWidget* widget = target; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            return widget;
        }
        if (widget->isWindow()) {
            break;
        }
    }
    return nullptr;
}

QString describe(const WindowState& state) {
    QStringList parts;
    for (const auto& [name, text] : state.texts) {
        parts.append(QStringLiteral("%1=\"%2\"").arg(name, text));
    }
    parts.append(QStringLiteral("ticked=%1").arg(state.ticked ? 1 : 0));
    return parts.join(QLatin1Char(' '));
}

// Where two states differ, cell by cell.
QString differences(const WindowState& expected, const WindowState& actual) {
    QStringList parts;
    for (const auto& [name, text] : expected.texts) {
        const auto found = actual.texts.find(name);
        const QString other =
            found == actual.texts.end() ? QStringLiteral("<none>") : found->second;
        if (other != text) {
            parts.append(QStringLiteral("%1: expected \"%2\", got \"%3\"").arg(name, text, other));
        }
    }
    for (const auto& [name, colour] : expected.bases) {
        const auto found = actual.bases.find(name);
        if (found == actual.bases.end() || found->second != colour) {
            parts.append(QStringLiteral("%1: expected colour %2, got %3")
                             .arg(name, colour.name(),
                                  found == actual.bases.end() ? QStringLiteral("<none>")
                                                              : found->second.name()));
        }
    }
    if (expected.ticked != actual.ticked) {
        parts.append(QStringLiteral("CheckCorrection: expected %1, got %2")
                         .arg(expected.ticked ? 1 : 0)
                         .arg(actual.ticked ? 1 : 0));
    }
    return parts.join(QStringLiteral("; "));
}

// A key as the desktop delivers it: the key, its modifiers and the text it types.
struct Key {
    Qt::Key code = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
};

Key keyForCharacter(QChar character) {
    const ushort code = character.unicode();
    if (code >= '0' && code <= '9') {
        return {static_cast<Qt::Key>(Qt::Key_0 + (code - '0')), Qt::NoModifier, character};
    }
    if (code >= 'a' && code <= 'z') {
        return {static_cast<Qt::Key>(Qt::Key_A + (code - 'a')), Qt::NoModifier, character};
    }
    if (code >= 'A' && code <= 'Z') {
        return {static_cast<Qt::Key>(Qt::Key_A + (code - 'A')), Qt::ShiftModifier, character};
    }
    switch (code) {
        case '.':
            return {Qt::Key_Period, Qt::NoModifier, character};
        case ',':
            return {Qt::Key_Comma, Qt::NoModifier, character};
        case '-':
            return {Qt::Key_Minus, Qt::NoModifier, character};
        case ' ':
            return {Qt::Key_Space, Qt::NoModifier, character};
        default:
            return {Qt::Key_unknown, Qt::NoModifier, character};
    }
}

// The texts the keys of the desktop's keyboard type (as the X11 keyboard gives them): editing
// keys type control characters, Delete the character 127.
const Key kBackspace{Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")};
const Key kDelete{Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f))};
const Key kTab{Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")};
const Key kBacktab{Qt::Key_Backtab, Qt::ShiftModifier, QStringLiteral("\t")};
const Key kReturn{Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")};
const Key kEnter{Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r")};
const Key kEscape{Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1b))};
const Key kSelectAll{Qt::Key_A, Qt::ControlModifier, QString(QChar(0x01))};
const Key kCopy{Qt::Key_C, Qt::ControlModifier, QString(QChar(0x03))};
const Key kCut{Qt::Key_X, Qt::ControlModifier, QString(QChar(0x18))};
const Key kPaste{Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16))};

Key navigationKey(Qt::Key code) {
    return {code, Qt::NoModifier, QString()};
}

Key altKey(Qt::Key code) {
    const QChar letter(static_cast<char16_t>('a' + (code - Qt::Key_A)));
    return {code, Qt::AltModifier, QString(letter)};
}

QString describe(const Key& key) {
    const QString name =
        QKeySequence(static_cast<int>(key.code) | static_cast<int>(key.modifiers.toInt()))
            .toString(QKeySequence::PortableText);
    return name.isEmpty() ? QStringLiteral("\"%1\"").arg(key.text) : name;
}

// The buttons and their access keys, as the window's catalogue gives them ("&Calculate",
// "c&Lear", "&Print", "&Exit").
enum class Button { Calculate, Clear, Print, Exit };
struct ButtonInfo {
    Button button;
    const char* name;
    Qt::Key accessKey;
};
constexpr std::array kButtons = {
    ButtonInfo{Button::Calculate, "cmdCalculate", Qt::Key_C},
    ButtonInfo{Button::Clear, "Command1", Qt::Key_L},
    ButtonInfo{Button::Print, "cmbPrint", Qt::Key_P},
    ButtonInfo{Button::Exit, "Uscita", Qt::Key_E},
};

std::optional<ButtonInfo> buttonNamed(const QString& name) {
    for (const ButtonInfo& info : kButtons) {
        if (name == QLatin1String(info.name)) {
            return info;
        }
    }
    return std::nullopt;
}

std::optional<ButtonInfo> buttonOfAccessKey(const Key& key) {
    if (key.modifiers != Qt::AltModifier) {
        return std::nullopt;
    }
    for (const ButtonInfo& info : kButtons) {
        if (key.code == info.accessKey) {
            return info;
        }
    }
    return std::nullopt;
}

struct Statistics {
    int steps = 0;
    int calculated = 0;
    int calculateFailed = 0;
    int pressesRefused = 0;
    int leavingsRefused = 0;
    int cleared = 0;
    int printed = 0;
    int exits = 0;
    int pastes = 0;
    int listsPicked = 0;
};

class Monkey {
  public:
    Monkey(quint64 seed, MessageBoxWatcher& messages)
        : m_random(seed),
          m_messages(messages),
          m_trace(qEnvironmentVariableIntValue("BRIMWELL_MONKEY_TRACE") != 0) {
        openFreshWindow();
    }

    // Runs the actions; returns the first fault seen, empty when there was none.
    QString run(int actions) {
        for (m_action = 0; m_action < actions && m_problem.isEmpty(); ++m_action) {
            randomAction();
            if (m_problem.isEmpty() && !m_window->isVisible()) {
                fail(QStringLiteral("the window closed without Exit"));
            }
        }
        return m_problem;
    }

    const Statistics& statistics() const { return m_statistics; }
    MainWindow& window() { return *m_window; }

  private:
    // --- Random choices ------------------------------------------------------------------

    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool chance(double probability) { return std::bernoulli_distribution(probability)(m_random); }
    template <typename T>
    const T& oneOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

    QString digits(int count) {
        QString text;
        for (int i = 0; i < count; ++i) {
            text.append(QChar(static_cast<char16_t>('0' + below(10))));
        }
        return text;
    }

    QString junk(int length) {
        static const QString alphabet = QStringLiteral("0123456789abcXYZ.,- ");
        QString text;
        for (int i = 0; i < length; ++i) {
            text.append(alphabet.at(below(static_cast<int>(alphabet.size()))));
        }
        return text;
    }

    // A value a pilot might type into the cell, now and then one past its limit or no number.
    QString plausibleText(const QString& cell) {
        const int roll = below(20);
        if (isDigitCell(cell)) {
            // The usual range of the cell, and a largest value past the limits of the window.
            static const std::map<QString, std::pair<int, int>> ranges = {
                {QStringLiteral("txtDestinationDistance"), {8400, 9500}},
                {QStringLiteral("txtWindIntensity"), {150, 1200}},
                {QStringLiteral("txtPayLoad"), {140912, 150000}},
                {QStringLiteral("txtContingencyTime"), {300, 40000}},
                {QStringLiteral("txtTFB"), {10000, 12000}}};
            const auto [usual, largest] = ranges.at(cell);
            if (roll < 16) {
                return QString::number(below(usual + 1));
            }
            if (roll < 17) {
                return QString::number(below(largest + 1));
            }
            if (roll < 18) {
                return QString();
            }
            if (roll < 19) {
                return digits(1 + below(12));
            }
            return junk(1 + below(6));
        }
        if (roll < 14) {
            QString icao;
            for (int i = 0; i < 4; ++i) {
                icao.append(QChar(static_cast<char16_t>('A' + below(26))));
            }
            return icao;
        }
        return junk(below(8));
    }

    QString pasteText() {
        static const std::vector<QString> odd = {
            QString(),
            QStringLiteral("12a"),
            QStringLiteral("1,5"),
            QStringLiteral("12.5"),
            QStringLiteral("-3"),
            QStringLiteral(" 7"),
            QStringLiteral("7 "),
            QStringLiteral("1e3"),
            QStringLiteral("0x10"),
            QStringLiteral("+40"),
            QStringLiteral("\u2160"),
            QStringLiteral("\u0661\u0662\u0663"),
            QStringLiteral("\uff11\uff12"),
            QStringLiteral("half an hour"),
            QStringLiteral("12\n34"),
            QStringLiteral("\t5"),
            QString(400, QLatin1Char('9')),
            QStringLiteral("8400"),
            QStringLiteral("8401"),
            QStringLiteral("140912"),
            QStringLiteral("140913"),
            QStringLiteral("1000"),
            QStringLiteral("1001"),
            QStringLiteral("99999"),
            QStringLiteral("32767"),
            QStringLiteral("32768"),
            QStringLiteral("FL350"),
            QStringLiteral("KJFK"),
        };
        if (chance(0.4)) {
            return digits(1 + below(7));
        }
        return oneOf(odd);
    }

    Key randomKey() {
        static const std::vector<Key> editing = {
            kBackspace,
            kDelete,
            kTab,
            kBacktab,
            kReturn,
            kEnter,
            navigationKey(Qt::Key_Left),
            navigationKey(Qt::Key_Right),
            navigationKey(Qt::Key_Up),
            navigationKey(Qt::Key_Down),
            navigationKey(Qt::Key_Home),
            navigationKey(Qt::Key_End),
            kSelectAll,
            kCopy,
            kCut,
            kPaste,
        };
        static const QString characters =
            QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.- ");
        const int roll = below(100);
        if (roll < 50) {
            return keyForCharacter(characters.at(below(static_cast<int>(characters.size()))));
        }
        if (roll < 97) {
            return oneOf(editing);
        }
        // Alt with a letter that is no access key.
        static const std::vector<Qt::Key> others = {Qt::Key_A, Qt::Key_F, Qt::Key_Q, Qt::Key_X};
        return altKey(oneOf(others));
    }

    QWidget* randomControl() {
        if (m_controls.empty() || m_controlsOf != m_window.get()) {
            m_controls.clear();
            for (QWidget* child : m_window->findChildren<QWidget*>()) {
                if (!child->objectName().isEmpty() && child->isVisible()) {
                    m_controls.push_back(child);
                }
            }
            std::sort(m_controls.begin(), m_controls.end(),
                      [](QWidget* a, QWidget* b) { return a->objectName() < b->objectName(); });
            m_controlsOf = m_window.get();
        }
        return oneOf(m_controls);
    }

    QLineEdit* randomTextBox(bool inputsOnly) {
        static const std::vector<std::string_view> inputs = [] {
            std::vector<std::string_view> names;
            for (const auto name : cell::kInputs) {
                if (!name.starts_with("cmb")) {
                    names.push_back(name);
                }
            }
            return names;
        }();
        if (inputsOnly || chance(0.85)) {
            return textBox(*m_window, toQ(oneOf(inputs)).toLatin1().constData());
        }
        const auto boxes = m_window->findChildren<QLineEdit*>();
        return boxes.at(below(static_cast<int>(boxes.size())));
    }

    QComboBox* randomList() {
        const auto lists = m_window->findChildren<QComboBox*>();
        return lists.at(below(static_cast<int>(lists.size())));
    }

    // --- Actions -------------------------------------------------------------------------

    void randomAction() {
        const int roll = below(100);
        if (roll < 3) {
            typeSoundPlan();
        } else if (roll < 6) {
            auto* focused = qobject_cast<QComboBox*>(focusedControl());
            wheelStep(focused != nullptr && chance(0.7) ? focused : randomList(),
                      chance(0.5) ? 120 : -120);
        } else if (roll < 30) {
            keyStep(randomKey());
        } else if (roll < 45) {
            typeValue();
        } else if (roll < 52) {
            pasteInto(randomTextBox(false));
        } else if (roll < 62) {
            clickStep(randomList());
        } else if (roll < 72) {
            QWidget* target = randomControl();
            clickStep(target, randomPointIn(*target));
        } else if (roll < 84) {
            pressByAccessKey();
        } else {
            pressByClick();
        }
    }

    QPoint randomPointIn(const QWidget& widget) {
        // Buttons and the tick box are clicked in their middle, where they take the click.
        if (qobject_cast<const QAbstractButton*>(&widget) != nullptr) {
            return widget.rect().center();
        }
        return QPoint(below(std::max(1, widget.width())), below(std::max(1, widget.height())));
    }

    // Every input typed or picked anew with a value within its limits, as a pilot enters a
    // plan; the random steps around it then spoil it again.
    void typeSoundPlan() {
        note(QStringLiteral("a sound plan"));
        static const std::map<QString, std::pair<int, int>> ranges = {
            {QStringLiteral("txtDestinationDistance"), {400, 7000}},
            {QStringLiteral("txtWindIntensity"), {0, 100}},
            {QStringLiteral("txtPayLoad"), {0, 140912}},
            {QStringLiteral("txtContingencyTime"), {0, 120}},
            {QStringLiteral("txtTFB"), {0, 5000}}};
        for (const auto name : cell::kInputs) {
            const QByteArray objectName = toQ(name).toLatin1();
            if (QComboBox* box = list(*m_window, objectName.constData())) {
                clickStep(box);
                continue;
            }
            QLineEdit* edit = textBox(*m_window, objectName.constData());
            const auto range = ranges.find(edit->objectName());
            const QString text =
                range == ranges.end()
                    ? plausibleText(edit->objectName())
                    : QString::number(range->second.first +
                                      below(range->second.second - range->second.first + 1));
            clickStep(edit);
            keyStep(kSelectAll);
            keyStep(kBackspace);
            for (const QChar character : text) {
                keyStep(keyForCharacter(character));
            }
        }
    }

    void typeValue() {
        QLineEdit* edit = randomTextBox(true);
        const QString text = plausibleText(edit->objectName());
        clickStep(edit, edit->rect().center());
        if (chance(0.9)) {
            keyStep(kSelectAll);
            keyStep(kBackspace);
        } else {
            keyStep(navigationKey(Qt::Key_End));
        }
        for (const QChar character : text) {
            if (!m_problem.isEmpty()) {
                return;
            }
            keyStep(keyForCharacter(character));
        }
        if (chance(0.5)) {
            keyStep(chance(0.8) ? kTab : kBacktab);
        }
    }

    void pasteInto(QLineEdit* edit) {
        clickStep(edit, randomPointIn(*edit));
        if (chance(0.6)) {
            keyStep(kSelectAll);
        }
        const QString text = pasteText();
        QGuiApplication::clipboard()->setText(text);
        note(QStringLiteral("clipboard \"%1\"").arg(text.left(40)));
        ++m_statistics.pastes;
        keyStep(kPaste);
    }

    // The mouse wheel turns a list that holds the focus by one item, up or down; it leaves
    // the other lists as they are.
    void wheelStep(QComboBox* box, int delta) {
        if (!m_problem.isEmpty()) {
            return;
        }
        prepareStep();
        const bool focused = focusedControl() == box;
        note(QStringLiteral("wheel %1 on %2 (%3)")
                 .arg(delta)
                 .arg(box->objectName(),
                      focused ? QStringLiteral("it has the focus") : QStringLiteral("no focus")));
        const WindowState before = captureState(*m_window);
        int expectedRow = box->currentIndex();
        if (focused) {
            const int next = expectedRow + (delta > 0 ? -1 : 1);
            if (next >= 0 && next < box->count()) {
                expectedRow = next;
            }
        }
        const QPointF centre = QRectF(box->rect()).center();
        QWheelEvent wheel(centre, box->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
        if (!expectMessages({})) {
            return;
        }
        if (box->currentIndex() != expectedRow) {
            fail(QStringLiteral("the wheel turned %1 to item %2, not %3")
                     .arg(box->objectName())
                     .arg(box->currentIndex())
                     .arg(expectedRow));
            return;
        }
        WindowState expected = before;
        expected.texts[box->objectName()] = box->itemText(expectedRow);
        expectState(expected, "the wheel");
    }

    void pressByAccessKey() {
        const int roll = below(1000);
        const Qt::Key key = roll < 500   ? Qt::Key_C
                            : roll < 700 ? Qt::Key_L
                            : roll < 990 ? Qt::Key_P
                                         : Qt::Key_E;
        keyStep(altKey(key));
    }

    void pressByClick() {
        const int roll = below(1000);
        const char* name = roll < 600   ? "cmdCalculate"
                           : roll < 800 ? "Command1"
                           : roll < 990 ? "cmbPrint"
                                        : "Uscita";
        QWidget* button = control(*m_window, name);
        clickStep(button, button->rect().center());
    }

    // --- Steps and their checks ----------------------------------------------------------

    void keyStep(const Key& key) {
        if (!m_problem.isEmpty()) {
            return;
        }
        prepareStep();
        QWidget* focus = focusedControl();
        if (focus == nullptr) {
            fail(QStringLiteral("no control holds the focus"));
            return;
        }
        note(QStringLiteral("key %1 on %2").arg(describe(key), focus->objectName()));
        const auto send = [&] {
            QTest::sendKeyEvent(QTest::Click, focus, key.code, key.text, key.modifiers);
        };
        if (const auto button = buttonOfAccessKey(key)) {
            press(*button, send);
            return;
        }
        if (key.code == Qt::Key_Space && qobject_cast<QPushButton*>(focus) != nullptr) {
            press(*buttonNamed(focus->objectName()), send);
            return;
        }
        const bool leaving = (key.code == Qt::Key_Tab || key.code == Qt::Key_Backtab) &&
                             !(key.modifiers & (Qt::ControlModifier | Qt::AltModifier));
        if (leaving) {
            if (const auto warning = refusal(focus)) {
                refusedLeaving(*warning, focus, send);
                return;
            }
        }
        const WindowState before = captureState(*m_window);
        auto* edit = qobject_cast<QLineEdit*>(focus);
        std::optional<std::pair<QString, int>> expectedEdit;
        if (edit != nullptr && !leaving) {
            expectedEdit = plainTextBoxAfter(*edit, key);
        }
        send();
        if (!expectMessages({})) {
            return;
        }
        WindowState expected = before;
        if (key.code == Qt::Key_Space && qobject_cast<QCheckBox*>(focus) != nullptr) {
            expected.ticked = !before.ticked;
        }
        if (expectedEdit) {
            expected.texts[edit->objectName()] = expectedEdit->first;
            if (edit->text() != expectedEdit->first ||
                edit->cursorPosition() != expectedEdit->second) {
                fail(QStringLiteral("%1 holds \"%2\" with the cursor at %3; a plain text box "
                                    "holds \"%4\" with the cursor at %5")
                         .arg(edit->objectName(), edit->text())
                         .arg(edit->cursorPosition())
                         .arg(expectedEdit->first)
                         .arg(expectedEdit->second));
                return;
            }
        }
        auto* box = qobject_cast<QComboBox*>(focus);
        if (box != nullptr) {
            // The arrow keys and the first letters turn the list; Space opens it.
            expected.texts[box->objectName()] = box->currentText();
        }
        expectState(expected, "a key");
        if (box != nullptr && box->view()->isVisible()) {
            pickFromOpenList(*box);
        }
    }

    // What a plain text box of the same text, cursor and selection holds after the key, and
    // where its cursor stands; a digit cell drops a printable character that is no digit.
    std::pair<QString, int> plainTextBoxAfter(const QLineEdit& edit, const Key& key) {
        m_plain.setReadOnly(edit.isReadOnly());
        m_plain.setMaxLength(edit.maxLength());
        m_plain.setText(edit.text());
        if (edit.hasSelectedText()) {
            const int start = edit.selectionStart();
            const int length = static_cast<int>(edit.selectedText().size());
            if (edit.cursorPosition() == start) {
                m_plain.setSelection(start + length, -length);
            } else {
                m_plain.setSelection(start, length);
            }
        } else {
            m_plain.setCursorPosition(edit.cursorPosition());
        }
        const bool chord = key.modifiers.testAnyFlags(Qt::ControlModifier | Qt::MetaModifier) &&
                           !key.modifiers.testFlag(Qt::AltModifier);
        const bool dropped = isDigitCell(edit.objectName()) && !chord && !key.text.isEmpty() &&
                             std::any_of(key.text.begin(), key.text.end(), [](QChar c) {
                                 return c.isPrint() && !(c >= u'0' && c <= u'9');
                             });
        if (!dropped) {
            QKeyEvent press(QEvent::KeyPress, key.code, key.modifiers, key.text);
            QApplication::sendEvent(&m_plain, &press);
            QKeyEvent release(QEvent::KeyRelease, key.code, key.modifiers, key.text);
            QApplication::sendEvent(&m_plain, &release);
        }
        return {m_plain.text(), m_plain.cursorPosition()};
    }

    void clickStep(QWidget* target) { clickStep(target, target->rect().center()); }

    void clickStep(QWidget* target, QPoint point) {
        if (!m_problem.isEmpty()) {
            return;
        }
        prepareStep();
        QWidget* focus = focusedControl();
        note(QStringLiteral("click %1 at %2,%3 (focus on %4)")
                 .arg(target->objectName())
                 .arg(point.x())
                 .arg(point.y())
                 .arg(focus == nullptr ? QString() : focus->objectName()));
        const auto send = [&] { QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point); };
        QWidget* taker = focusTakerOf(target);
        if (const auto button = buttonNamed(target->objectName())) {
            press(*button, send);
            return;
        }
        if (const auto warning = refusal(focus); warning && taker != nullptr && taker != focus) {
            refusedLeaving(*warning, focus, send);
            if (auto* box = qobject_cast<QComboBox*>(target);
                box != nullptr && box->view()->isVisible()) {
                fail(QStringLiteral("the list opened past a refused value"));
            }
            return;
        }
        const WindowState before = captureState(*m_window);
        send();
        if (!expectMessages({})) {
            return;
        }
        WindowState expected = before;
        if (qobject_cast<QCheckBox*>(target) != nullptr) {
            expected.ticked = !before.ticked;
        }
        expectState(expected, "a click");
        if (auto* box = qobject_cast<QComboBox*>(target); box != nullptr && m_problem.isEmpty()) {
            if (!box->view()->isVisible()) {
                fail(QStringLiteral("a click on %1 did not open its list").arg(box->objectName()));
                return;
            }
            pickFromOpenList(*box);
        }
    }

    // Picks an item of the open list by the arrow keys and Enter or by a click, or closes it
    // with Escape.
    void pickFromOpenList(QComboBox& box) {
        QAbstractItemView* view = box.view();
        const WindowState before = captureState(*m_window);
        const int row = below(box.count());
        const int roll = below(10);
        m_messages.clear();
        int expectedRow = box.currentIndex();
        if (roll < 6) {
            note(QStringLiteral("pick %1 of %2 by the keys").arg(row).arg(box.objectName()));
            QTest::keyClick(view, Qt::Key_Home);
            for (int step = 0; step < row; ++step) {
                QTest::keyClick(view, Qt::Key_Down);
            }
            QTest::keyClick(view, Qt::Key_Return);
            expectedRow = row;
        } else if (roll < 8) {
            note(QStringLiteral("pick %1 of %2 by the mouse").arg(row).arg(box.objectName()));
            // The item may be wider than the list shows it; the click falls on its visible part.
            const QRect item =
                view->visualRect(box.model()->index(row, 0)).intersected(view->viewport()->rect());
            QTest::mouseMove(view->viewport(), item.center());
            // The list takes no release that follows its opening too closely, the end of the
            // click that opened it; a pilot's second click comes later.
            for (int attempt = 0; attempt < 100 && view->isVisible(); ++attempt) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
                if (view->isVisible()) {
                    QTest::qWait(10);
                }
            }
            expectedRow = row;
        } else {
            note(QStringLiteral("close %1 with Escape").arg(box.objectName()));
            QTest::keyClick(view, Qt::Key_Escape);
        }
        if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 2000)) {
            fail(QStringLiteral("the list %1 did not close").arg(box.objectName()));
            return;
        }
        ++m_statistics.listsPicked;
        if (!expectMessages({})) {
            return;
        }
        if (box.currentIndex() != expectedRow) {
            fail(QStringLiteral("%1 shows item %2, not %3")
                     .arg(box.objectName())
                     .arg(box.currentIndex())
                     .arg(expectedRow));
            return;
        }
        WindowState expected = before;
        expected.texts[box.objectName()] = box.itemText(expectedRow);
        expectState(expected, "a pick");
    }

    // Leaving focus for another control, which its refused value does not allow.
    template <typename Send>
    void refusedLeaving(const QString& warning, QWidget* focus, Send send) {
        const WindowState before = captureState(*m_window);
        send();
        ++m_statistics.leavingsRefused;
        checkRefused(warning, focus, before, "leaving a refused value");
    }

    void checkRefused(const QString& warning, QWidget* focus, const WindowState& before,
                      const char* what) {
        if (!expectMessages({warning})) {
            return;
        }
        expectState(before, what);
        if (m_problem.isEmpty() && focusedControl() != focus) {
            fail(QStringLiteral("%1 let the focus go from %2 to %3")
                     .arg(QLatin1String(what), focus->objectName(), focusName()));
        }
    }

    template <typename Send>
    void press(const ButtonInfo& button, Send send) {
        QWidget* focus = focusedControl();
        QWidget* buttonWidget = control(*m_window, button.name);
        const WindowState before = captureState(*m_window);
        m_printedOperations.clear();
        const int printersBefore = m_printers;
        if (const auto warning = refusal(focus); warning && focus != buttonWidget) {
            send();
            ++m_statistics.pressesRefused;
            checkRefused(*warning, focus, before, "a button pressed past a refused value");
            if (m_problem.isEmpty() && (m_printers != printersBefore || !m_window->isVisible())) {
                fail(QStringLiteral("%1 acted past a refused value")
                         .arg(QLatin1String(button.name)));
            }
            return;
        }
        switch (button.button) {
            case Button::Calculate:
                send();
                checkCalculate(before);
                break;
            case Button::Clear: {
                send();
                ++m_statistics.cleared;
                WindowState expected = before;
                for (const auto name : cell::kResults) {
                    expected.texts[toQ(name)] = QString();
                    expected.bases[toQ(name)] =
                        paletteBase(*control(*m_window, toQ(name).toLatin1().constData()));
                }
                if (expectMessages({})) {
                    expectState(expected, "Clear");
                }
                break;
            }
            case Button::Print: {
                send();
                ++m_statistics.printed;
                if (!expectMessages({})) {
                    return;
                }
                if (m_printers != printersBefore + 1) {
                    fail(QStringLiteral("Print asked for %1 printers")
                             .arg(m_printers - printersBefore));
                    return;
                }
                const QStringList expected = reportOf(before);
                if (m_printedOperations != expected) {
                    fail(QStringLiteral("Print made:\n  %1\nthe report of the cells is:\n  %2")
                             .arg(m_printedOperations.join(QStringLiteral("\n  ")),
                                  expected.join(QStringLiteral("\n  "))));
                    return;
                }
                expectState(before, "Print");
                break;
            }
            case Button::Exit:
                send();
                ++m_statistics.exits;
                if (!expectMessages({})) {
                    return;
                }
                if (m_window->isVisible()) {
                    fail(QStringLiteral("Exit left the window open"));
                    return;
                }
                note(QStringLiteral("the window closed; a fresh one opens"));
                openFreshWindow();
                break;
        }
    }

    // The engine runs on cells in memory that hold what the window held before the press; the
    // window must now show what those cells show, and the same messages.
    void checkCalculate(const WindowState& before) {
        MemoryCells cells;
        for (const auto name : cell::kInputs) {
            cells.setText(name, before.texts.at(toQ(name)).toStdString());
        }
        cells.setTicked(cell::CheckCorrection, before.ticked);
        for (const auto name : cell::kResults) {
            cells.setText(name, before.texts.at(toQ(name)).toStdString());
            const QColor base = before.bases.at(toQ(name));
            QWidget* widget = control(*m_window, toQ(name).toLatin1().constData());
            cells.setBackground(name,
                                base == paletteBase(*widget)
                                    ? Background::windowBackground()
                                    : Background::rgb(static_cast<std::uint8_t>(base.red()),
                                                      static_cast<std::uint8_t>(base.green()),
                                                      static_cast<std::uint8_t>(base.blue())));
        }
        RecordingSink sink;
        FuelPlanner planner(cells, sink);
        const bool completed = planner.cmdCalculate_Click();
        QStringList inputs;
        for (const auto name : cell::kInputs) {
            inputs.append(before.texts.at(toQ(name)));
        }
        note(QStringLiteral("Calculate on [%1%2]: the engine %3")
                 .arg(inputs.join(QLatin1Char('|')),
                      before.ticked ? QStringLiteral("|ticked") : QString(),
                      completed ? QStringLiteral("completes") : QStringLiteral("fails")));
        ++(completed ? m_statistics.calculated : m_statistics.calculateFailed);

        QStringList messages;
        for (const std::string& message : sink.messages()) {
            messages.append(toQ(message));
        }
        if (!expectMessages(messages)) {
            return;
        }
        WindowState expected = before;
        for (const auto name : cell::kResults) {
            expected.texts[toQ(name)] = toQ(cells.text(name));
            QWidget* widget = control(*m_window, toQ(name).toLatin1().constData());
            const Background background = cells.background(name);
            expected.bases[toQ(name)] =
                background.isWindowBackground()
                    ? paletteBase(*widget)
                    : QColor(background.colour().red, background.colour().green,
                             background.colour().blue);
        }
        expectState(expected, completed ? "Calculate" : "a failed Calculate");
    }

    QStringList reportOf(const WindowState& state) {
        MemoryCells cells;
        for (const auto& names : {std::span<const std::string_view>(cell::kInputs),
                                  std::span<const std::string_view>(cell::kResults)}) {
            for (const auto name : names) {
                cells.setText(name, state.texts.at(toQ(name)).toStdString());
            }
        }
        cells.setTicked(cell::CheckCorrection, state.ticked);
        QStringList operations;
        RecordingPrinter printer(operations);
        cmbPrint_Click(cells, printer);
        return operations;
    }

    bool expectMessages(const QStringList& expected) {
        const QStringList shown = m_messages.texts();
        m_messages.clear();
        if (shown != expected) {
            fail(QStringLiteral("the window showed [%1] where [%2] was due")
                     .arg(shown.join(QStringLiteral(" | ")), expected.join(QStringLiteral(" | "))));
            return false;
        }
        return true;
    }

    void expectState(const WindowState& expected, const char* what) {
        if (!m_problem.isEmpty()) {
            return;
        }
        const WindowState actual = captureState(*m_window);
        if (actual != expected) {
            fail(QStringLiteral("after %1: %2\n  before: %3")
                     .arg(QLatin1String(what), differences(expected, actual), describe(expected)));
        }
    }

    // Before each step: the window active, as a desktop leaves it after a message box, and no
    // message left over.
    void prepareStep() {
        ++m_statistics.steps;
        if (!m_window->isActiveWindow()) {
            m_window->activateWindow();
            if (!QTest::qWaitForWindowActive(m_window.get(), 1000)) {
                fail(QStringLiteral("the window could not be made active"));
            }
        }
        if (!m_messages.shown().empty()) {
            fail(QStringLiteral("a message appeared between the steps: %1")
                     .arg(m_messages.texts().join(QStringLiteral(" | "))));
        }
    }

    void openFreshWindow() {
        m_window.reset();
        m_window = openWindow();
        m_window->setPrinterFactory([this]() -> std::unique_ptr<Printer> {
            ++m_printers;
            return std::make_unique<RecordingPrinter>(m_printedOperations);
        });
        m_controls.clear();
    }

    void note(const QString& step) {
        const QString line = QStringLiteral("#%1 %2").arg(m_action).arg(step);
        if (m_trace) {
            qInfo("%s", qPrintable(line));
        }
        m_trail.push_back(line);
        if (m_trail.size() > 40) {
            m_trail.pop_front();
        }
    }

    void fail(const QString& what) {
        if (!m_problem.isEmpty()) {
            return;
        }
        QStringList trail(m_trail.begin(), m_trail.end());
        m_problem = QStringLiteral("action %1: %2\nlast steps:\n  %3")
                        .arg(m_action)
                        .arg(what, trail.join(QStringLiteral("\n  ")));
    }

    std::unique_ptr<MainWindow> m_window;
    std::mt19937_64 m_random;
    MessageBoxWatcher& m_messages;
    QLineEdit m_plain;
    std::vector<QWidget*> m_controls;
    const MainWindow* m_controlsOf = nullptr;
    QStringList m_printedOperations;
    int m_printers = 0;
    int m_action = 0;
    bool m_trace = false;
    std::deque<QString> m_trail;
    QString m_problem;
    Statistics m_statistics;
};

}  // namespace

class MonkeyOnTheWindow final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { previousHandler = qInstallMessageHandler(withoutPlatformChatter); }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void randomActionsKeepTheWindowAndTheEngineInStep() {
        const quint64 seed = seedFromEnvironment();
        const int actions = actionsFromEnvironment();
        qInfo(
            "monkey: seed %llu, %d actions; replay with BRIMWELL_MONKEY_SEED=%llu "
            "BRIMWELL_MONKEY_ACTIONS=%d",
            static_cast<unsigned long long>(seed), actions, static_cast<unsigned long long>(seed),
            actions);
        // A pilot clicks an item of a list he has just opened a good while after the click
        // that opened it; the list ignores a click that comes sooner than a double click. The
        // monkey clicks at once and waits as little as a desktop set to quick double clicks
        // asks.
        QStyleHints* hints = QGuiApplication::styleHints();
        const int doubleClickInterval = hints->mouseDoubleClickInterval();
        hints->setMouseDoubleClickInterval(100);
        const auto restoreInterval =
            qScopeGuard([&] { hints->setMouseDoubleClickInterval(doubleClickInterval); });
        MessageBoxWatcher messages;
        Monkey monkey(seed, messages);
        const QString problem = monkey.run(actions);
        const Statistics& done = monkey.statistics();
        qInfo(
            "monkey: %d steps; Calculate %d completed, %d failed; %d presses and %d leavings "
            "refused; %d Clear, %d Print, %d Exit; %d pastes, %d lists picked",
            done.steps, done.calculated, done.calculateFailed, done.pressesRefused,
            done.leavingsRefused, done.cleared, done.printed, done.exits, done.pastes,
            done.listsPicked);
        if (!problem.isEmpty()) {
            // The whole account; the failure line itself has room for its beginning only.
            qInfo("monkey: seed %llu, %s", static_cast<unsigned long long>(seed),
                  qPrintable(problem));
        }
        QVERIFY2(problem.isEmpty(),
                 qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(problem)));
        QVERIFY(monkey.window().isVisible());
        if (actions >= 1000) {
            // A run this long reaches every branch of the checks; one that does not has lost
            // its teeth.
            QVERIFY(done.calculated > 0);
            QVERIFY(done.calculateFailed > 0);
            QVERIFY(done.pressesRefused > 0);
            QVERIFY(done.leavingsRefused > 0);
            QVERIFY(done.printed > 0);
            QVERIFY(done.cleared > 0);
        }
    }

    // Found by the monkey: the Delete key of the X11 desktop types DEL (127), which the key
    // filter of the digit cells took for a character and dropped, so Delete did nothing there.
    void deleteKeyDeletesInTheDigitCells_data() {
        QTest::addColumn<QString>("cell");
        for (const auto name : kDigitCells) {
            QTest::newRow(toQ(name).toLatin1().constData()) << toQ(name);
        }
    }
    void deleteKeyDeletesInTheDigitCells() {
        QFETCH(QString, cell);
        const auto window = openWindow();
        MessageBoxWatcher messages;
        const QByteArray name = cell.toLatin1();
        QLineEdit* edit = textBox(*window, name.constData());
        click(*window, name.constData());
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QStringLiteral("1234"));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::sendKeyEvent(QTest::Click, edit, kDelete.code, kDelete.text, kDelete.modifiers);
        QCOMPARE(edit->text(), QStringLiteral("234"));
        QTest::keyClick(edit, Qt::Key_Right);
        QTest::sendKeyEvent(QTest::Click, edit, kDelete.code, kDelete.text, kDelete.modifiers);
        QCOMPARE(edit->text(), QStringLiteral("24"));
        // Letters stay out.
        QTest::keyClicks(edit, QStringLiteral("x."));
        QCOMPARE(edit->text(), QStringLiteral("24"));
        QVERIFY(messages.shown().empty());
    }
};

QTEST_MAIN(MonkeyOnTheWindow)
#include "monkey_test.moc"
