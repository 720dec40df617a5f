#pragma once

// Drives the real main window the way a pilot does, by keyboard and mouse, and answers the
// program's message boxes.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "report/printer.h"
#include "ui/main_window.h"

class QComboBox;
class QLineEdit;

namespace brimwell::test {

// A message box as it was shown.
struct ShownMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    bool okButton = false;
};

// While it lives, answers every modal message box with OK and records what it showed.
class MessageBoxWatcher final : public QObject {
  public:
    MessageBoxWatcher();
    const std::vector<ShownMessage>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

  private:
    void answer();
    QTimer m_timer;
    std::vector<ShownMessage> m_shown;
};

// A freshly built window, shown and active, so that focus and access keys work.
std::unique_ptr<MainWindow> openWindow();

QWidget* control(const MainWindow& window, const char* name);
QLineEdit* textBox(const MainWindow& window, const char* name);
QComboBox* list(const MainWindow& window, const char* name);
// The name of the control that holds the focus, empty when none does.
// The control of the shown window that holds the focus, and its name.
QWidget* focusedControl();
QString focusName();

// Clicks a control in its middle.
void click(const MainWindow& window, const char* name);
// Clicks a text box and types the keys of text at its end.
void typeInto(const MainWindow& window, const char* name, const QString& text);
// Picks an item of a drop-down list: a click opens the list, the arrow keys and Enter pick the
// item. Returns false when the list does not hold it.
bool pick(const MainWindow& window, const char* name, const QString& item);
// The same with a click on the item.
bool pickByMouse(const MainWindow& window, const char* name, const QString& item);

struct Plan {
    QString origin, destination, distance, alternate, alternateDistance, windDirection, wind,
        flightLevel, payload, contingency, minimumLandingFuel, taxiFuel;
    bool correction = false;
};
// Distance 4000 nm, alternate 200 nm, 50 kt head wind, FL350, payload 100000 lbs,
// contingency 30 min, minimum landing fuel 19000 lbs, taxi fuel 2000 lbs.
Plan samplePlan();
// Types and picks every input of the plan; the taxi fuel replaces the cell's text.
void enterPlan(const MainWindow& window, const Plan& plan);

// What can be seen of the cells: every text box's and list's text and base colour, and the
// tick of the check box.
struct WindowState {
    std::map<QString, QString> texts;
    std::map<QString, QColor> bases;
    bool ticked = false;
    friend bool operator==(const WindowState&, const WindowState&) = default;
};
WindowState captureState(const MainWindow& window);

// The base colour that a cell without a colour of its own shows.
QColor paletteBase(const QWidget& cell);

// A printer that writes down every operation asked of it, one text each ("font Arial",
// "size 16", "x 100", "y 200", "bold 1", "line <text>", "end"). It throws PrintError at the
// operation numbered failAt (from 0), if set.
class RecordingPrinter final : public Printer {
  public:
    explicit RecordingPrinter(QStringList& operations, int failAt = -1)
        : m_operations(operations), m_failAt(failAt) {}
    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setCurrentX(int twips) override;
    void setCurrentY(int twips) override;
    void setBold(bool bold) override;
    void printLine(std::string_view text) override;
    void endDoc() override;

  private:
    void record(const QString& operation);
    QStringList& m_operations;
    int m_failAt;
};

}  // namespace brimwell::test
