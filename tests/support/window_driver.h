#pragma once

// Drives the real main window as a pilot does, by keyboard and mouse, and reads what it shows:
// the texts and colours of its cells, the focus and its warnings. Controls are named by their
// object names; asking for a control the window does not have ends the test program.

#include <QAnyStringView>
#include <QColor>
#include <QStringList>
#include <QTest>
#include <memory>
#include <span>
#include <string>

#include "tests/support/plan.h"
#include "ui/main_window.h"

namespace brimwell::test {

QString toQ(std::string_view text);
QStringList toQ(std::span<const std::string> texts);

// A freshly built window, shown and active, so that focus and access keys work. Its settings
// are kept in a temporary folder that lasts as long as the test program. From the first window
// on, a warning of Qt's fails the test that runs, but for those that say only what the test
// platform cannot do.
std::unique_ptr<ui::MainWindow> openWindow();
QWidget* control(const QWidget& window, QAnyStringView name);
QString focusName(const QWidget& window);

void click(const QWidget& window, QAnyStringView name);
// Keys for the control that holds the focus: each character is typed as it is, "^x" is Ctrl+X,
// '⌫' and '⌦' are Backspace and Delete, and "{text}" is one key that types all of the text.
void typeKeys(const QWidget& window, const QString& keys);
// Clicks a text box and types the keys at the end of its text.
void typeInto(const QWidget& window, QAnyStringView name, const QString& keys);
// Clicks a text box and pastes text over all of its text.
void paste(const QWidget& window, QAnyStringView name, const QString& text);
// Opens a list by a click and picks the item with the arrow keys and Enter; false when the list
// does not open or hold the item.
bool pick(const QWidget& window, QAnyStringView name, const QString& item);
// Steps apart by spaces: "Tab", "Shift+Tab", an access key ("Alt+C"), a shortcut ("Ctrl+O"),
// a control to click, or a menu and its item to click ("mnuFile/mnuOpenFlightPlan").
void press(const QWidget& window, const QString& steps);
// Drops a file on the named control, or on the window itself for an empty name, as a file
// manager does.
void dropFile(const QWidget& window, QAnyStringView name, const QString& file);
// Types each text over its text box's, or picks it in its list.
void enterPlan(const QWidget& window, const CellTexts& plan);

QString text(const QWidget& window, QAnyStringView name);
// "name text background-colour text-colour" of every text box and list, and the tick of the
// check box.
QStringList cellStates(const QWidget& window);
// The contrast of two colours by WCAG 2, from 1 to 21, worked out here as the guidelines say.
double contrast(const QColor& first, const QColor& second);

// The program's warnings, which it adds here instead of showing them in a box from this call
// on (until ui::setWarningHandler is given another handler).
QStringList& warnings();

// What the program's dialogs are answered from this call on, in turn: the files picked in the
// file dialog, the texts typed when the window asks for one (none left: the pilot cancels); and
// the captions and questions that were asked.
struct DialogAnswers {
    QStringList files;
    QStringList texts;
    QStringList asked;
};
DialogAnswers& dialogs();

// A row of a test's table: its texts, named after them.
template <typename... Texts>
void addRow(const Texts*... texts) {
    const QString name = QStringList{QString::fromUtf8(texts)...}.join(u' ');
    (QTest::addRow("%s", qPrintable(name)) << ... << QString::fromUtf8(texts));
}

}  // namespace brimwell::test

// Cell texts as a column of a Qt Test table.
Q_DECLARE_METATYPE(brimwell::test::CellTexts)
