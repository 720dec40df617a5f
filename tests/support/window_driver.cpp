#include "tests/support/window_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/dialogs.h"
#include "ui/qt_text.h"
#include "ui/window_cells.h"

using namespace Qt::StringLiterals;

namespace brimwell::test {

QString toQ(std::string_view text) {
    return ui::toQString(text);
}

QStringList toQ(std::span<const std::string> texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list.append(toQ(text));
    }
    return list;
}

namespace {

// What the window remembers, and the flight log it keeps, go to a folder of the test program's
// own, never the user's nor another test program's, from the program's start: a test may write a
// setting before it opens its first window.
void keepSettingsApart() {
    static const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    qputenv("XDG_DATA_HOME", settings.path().toUtf8());
}

// Qt's warnings that say only what the test platforms cannot do for a window.
constexpr std::array<QStringView, 3> kHarmlessWarnings = {
    u"This plugin does not support raise()",  // a popup list has no window stack to rise in
    u"This plugin does not support grabbing the keyboard",  // the keys go to the focus anyway
    u"This plugin does not support propagateSizeHints()",   // no window manager takes them
};

// Qt Test's handler, which prints each message under the test that runs.
QtMessageHandler& testLog() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

void failOnWarning(const QString& message, const char* file, int line) {
    if (QTest::currentTestFunction() == nullptr) {
        qFatal("a Qt warning outside any test: %s", qPrintable(message));
    }
    QTest::qFail(qPrintable(u"Qt warned: "_s + message), file, line);
}

// Any other warning fails the test that runs: on the main thread at once, from another thread
// as soon as the main thread handles its events (the tests wait in event loops).
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool warning = type == QtWarningMsg || type == QtCriticalMsg;
    if (warning &&
        std::ranges::find(kHarmlessWarnings, QStringView(message)) != kHarmlessWarnings.end()) {
        return;
    }
    testLog()(type, context, message);
    if (warning) {
        QMetaObject::invokeMethod(QCoreApplication::instance(),
                                  [message, file = context.file, line = context.line] {
                                      failOnWarning(message, file, line);
                                  });
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(keepSettingsApart)

std::unique_ptr<ui::MainWindow> openWindow() {
    // Qt Test puts its handler in as it starts, over any put in before.
    if (testLog() == nullptr) {
        testLog() = qInstallMessageHandler(onQtMessage);
    }
    auto window = std::make_unique<ui::MainWindow>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qFatal("the window did not become active");
    }
    return window;
}

QWidget* control(const QWidget& window, QAnyStringView name) {
    auto* widget = window.findChild<QWidget*>(name.toString());
    if (widget == nullptr) {
        qFatal("the window has no control named %s", qPrintable(name.toString()));
    }
    return widget;
}

QString focusName(const QWidget& window) {
    return window.focusWidget() == nullptr ? QString() : window.focusWidget()->objectName();
}

void click(const QWidget& window, QAnyStringView name) {
    QWidget* widget = control(window, name);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void typeKeys(const QWidget& window, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QWidget* focus = window.focusWidget();
        const QChar key = keys.at(i);
        if (key == u'^' && i + 1 < keys.size()) {
            QTest::keyClick(focus, keys.at(++i).toLatin1(), Qt::ControlModifier);
        } else if (key == u'⌫' || key == u'⌦') {
            // The desktop's keyboard types these as the characters 8 and 127.
            const bool back = key == u'⌫';
            QTest::sendKeyEvent(QTest::Click, focus, back ? Qt::Key_Backspace : Qt::Key_Delete,
                                QString(QChar(back ? 8 : 127)), Qt::NoModifier);
        } else if (key == u'{') {
            const qsizetype end = keys.indexOf(u'}', i);
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, keys.mid(i + 1, end - i - 1),
                                Qt::NoModifier);
            i = end;
        } else if (key.unicode() < 0x7f) {
            QTest::keyClick(focus, key.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(key), Qt::NoModifier);
        }
    }
}

void typeInto(const QWidget& window, QAnyStringView name, const QString& keys) {
    click(window, name);
    QTest::keyClick(window.focusWidget(), Qt::Key_End);
    typeKeys(window, keys);
}

void paste(const QWidget& window, QAnyStringView name, const QString& text) {
    click(window, name);
    QGuiApplication::clipboard()->setText(text);
    typeKeys(window, text.isEmpty() ? u"^a⌫"_s : u"^a^v"_s);
}

bool pick(const QWidget& window, QAnyStringView name, const QString& item) {
    auto* list = qobject_cast<QComboBox*>(control(window, name));
    const int row = list->findText(item);
    if (row < 0) {
        return false;
    }
    click(window, name);
    QAbstractItemView* items = list->view();
    if (!items->isVisible()) {
        return false;  // the cell left refused its value
    }
    QTest::keyClick(items, Qt::Key_Home);
    for (int step = 0; step < row; ++step) {
        QTest::keyClick(items, Qt::Key_Down);
    }
    QTest::keyClick(items, Qt::Key_Return);
    return !items->isVisible() && list->currentIndex() == row;
}

void press(const QWidget& window, const QString& steps) {
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"Tab") {
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        } else if (step == u"Shift+Tab") {
            QTest::keyClick(window.focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (step.startsWith(u"Alt+")) {
            QTest::keyClick(window.focusWidget(), step.at(4).toLower().toLatin1(), Qt::AltModifier);
        } else if (step.startsWith(u"Ctrl+")) {
            QTest::keySequence(window.focusWidget(), QKeySequence(step));
        } else if (step.contains(u'/')) {
            auto* bar = window.findChild<QMenuBar*>();
            auto* menu = bar->findChild<QMenu*>(step.section(u'/', 0, 0));
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(menu->menuAction()).center());
            auto* item = menu->findChild<QAction*>(step.section(u'/', 1));
            if (!menu->isVisible() || item == nullptr) {
                qFatal("%s cannot be chosen", qPrintable(step));
            }
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            // The offscreen platform leaves the closed menu active; a desktop gives the window
            // its activation back.
            window.windowHandle()->requestActivate();
            if (!QTest::qWaitForWindowActive(window.windowHandle())) {
                qFatal("the window did not become active again after %s", qPrintable(step));
            }
        } else {
            click(window, step);
        }
    }
}

void dropFile(const QWidget& window, QAnyStringView name, const QString& file) {
    QWidget* target = name.isEmpty() ? window.window() : control(window, name);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    data.setText(file);  // as file managers do; a cell must not take it for a text
    const QPoint place = target->rect().center();
    QDragEnterEvent enter(place, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        qFatal("%s refuses a dropped file", qPrintable(target->objectName()));
    }
    QDropEvent drop(place, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void enterPlan(const QWidget& window, const CellTexts& plan) {
    for (const auto& [name, value] : plan) {
        if (qobject_cast<QComboBox*>(control(window, name)) == nullptr) {
            typeInto(window, name, u"^a⌫"_s + toQ(value));
        } else if (!value.empty() && !pick(window, name, toQ(value))) {
            qFatal("%s could not be picked in %s", value.c_str(), qPrintable(toQ(name)));
        }
    }
}

QString text(const QWidget& window, QAnyStringView name) {
    QWidget* widget = control(window, name);
    if (const auto* list = qobject_cast<QComboBox*>(widget)) {
        return list->currentText();
    }
    return qobject_cast<QLineEdit*>(widget)->text();
}

double contrast(const QColor& first, const QColor& second) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(first), luminance(second)});
    return (light + 0.05) / (dark + 0.05);
}

QStringList cellStates(const QWidget& window) {
    QStringList states;
    for (const QWidget* cell : window.findChildren<QWidget*>()) {
        if (const auto* tick = qobject_cast<const QCheckBox*>(cell)) {
            states.append(cell->objectName() +
                          (tick->isChecked() ? u" ticked"_s : u" not ticked"_s));
        } else if (qobject_cast<const QLineEdit*>(cell) != nullptr ||
                   qobject_cast<const QComboBox*>(cell) != nullptr) {
            const QPalette& colours = cell->palette();
            states.append(cell->objectName() + u' ' + text(window, cell->objectName()) + u' ' +
                          colours.color(QPalette::Base).name() + u' ' +
                          colours.color(QPalette::Text).name());
        }
    }
    return states;
}

QStringList& warnings() {
    static QStringList shown;
    ui::setWarningHandler([](const QString& warning) { shown.append(warning); });
    return shown;
}

DialogAnswers& dialogs() {
    static DialogAnswers answers;
    ui::setFileChoiceHandler([](const QString& caption) {
        answers.asked.append(caption);
        return answers.files.isEmpty() ? QString() : answers.files.takeFirst();
    });
    ui::setTextAnswerHandler(
        [](const QString& question, const QString& text) -> std::optional<QString> {
            answers.asked.append(question + u' ' + text);
            if (answers.texts.isEmpty()) {
                return std::nullopt;
            }
            return answers.texts.takeFirst();
        });
    return answers;
}

}  // namespace brimwell::test
