#include "window_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace brimwell::test {

MessageBoxWatcher::MessageBoxWatcher() {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::answer);
    m_timer.start();
}

QStringList MessageBoxWatcher::texts() const {
    QStringList texts;
    for (const ShownMessage& message : m_shown) {
        texts.append(message.text);
    }
    return texts;
}

void MessageBoxWatcher::answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    ShownMessage message;
    message.title = box->windowTitle();
    message.text = box->text();
    message.icon = box->icon();
    message.buttonCount = static_cast<int>(box->buttons().size());
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    message.okButton = ok != nullptr;
    m_shown.push_back(message);
    if (ok != nullptr) {
        ok->click();
    } else {
        box->reject();
    }
}

std::unique_ptr<MainWindow> openWindow() {
    auto window = std::make_unique<MainWindow>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the window did not become active");
    }
    return window;
}

QWidget* control(const MainWindow& window, const char* name) {
    return window.findChild<QWidget*>(QString::fromLatin1(name));
}

QLineEdit* textBox(const MainWindow& window, const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
}

QComboBox* list(const MainWindow& window, const char* name) {
    return window.findChild<QComboBox*>(QString::fromLatin1(name));
}

QWidget* focusedControl() {
    // The control of the window that holds its focus. On the offscreen platform the window is
    // not always made active again after a message box closes, and an open drop-down list holds
    // the application's focus in its popup; the window's own focus widget is the control that
    // the keys go to.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<MainWindow*>(top) != nullptr && top->isVisible()) {
            return top->focusWidget();
        }
    }
    return QApplication::focusWidget();
}

QString focusName() {
    const QWidget* focus = focusedControl();
    return focus == nullptr ? QString() : focus->objectName();
}

void click(const MainWindow& window, const char* name) {
    QWidget* widget = control(window, name);
    if (widget == nullptr) {
        qWarning("no control named %s", name);
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void typeInto(const MainWindow& window, const char* name, const QString& text) {
    click(window, name);
    if (QLineEdit* edit = textBox(window, name)) {
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, text);
    }
}

bool pick(const MainWindow& window, const char* name, const QString& item) {
    QComboBox* box = list(window, name);
    const int row = box == nullptr ? -1 : box->findText(item);
    if (row < 0) {
        return false;
    }
    // A click opens the list; the arrow keys walk it from its top and Enter picks the item.
    click(window, name);
    QAbstractItemView* view = box->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }, 2000)) {
        return false;
    }
    QTest::keyClick(view, Qt::Key_Home);
    for (int step = 0; step < row; ++step) {
        QTest::keyClick(view, Qt::Key_Down);
    }
    QTest::keyClick(view, Qt::Key_Return);
    if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 2000)) {
        return false;
    }
    return box->currentText() == item;
}

bool pickByMouse(const MainWindow& window, const char* name, const QString& item) {
    QComboBox* box = list(window, name);
    const int row = box == nullptr ? -1 : box->findText(item);
    if (row < 0) {
        return false;
    }
    click(window, name);
    QAbstractItemView* view = box->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }, 2000)) {
        return false;
    }
    // The list ignores a release that follows its opening too closely, as the end of the
    // click that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QRect itemRect = view->visualRect(box->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, itemRect.center());
    if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 2000)) {
        return false;
    }
    return box->currentText() == item;
}

Plan samplePlan() {
    Plan plan;
    plan.origin = QStringLiteral("LIRF");
    plan.destination = QStringLiteral("KJFK");
    plan.distance = QStringLiteral("4000");
    plan.alternate = QStringLiteral("KBOS");
    plan.alternateDistance = QStringLiteral("200");
    plan.windDirection = QStringLiteral("Head");
    plan.wind = QStringLiteral("50");
    plan.flightLevel = QStringLiteral("FL350");
    plan.payload = QStringLiteral("100000");
    plan.contingency = QStringLiteral("30");
    plan.minimumLandingFuel = QStringLiteral("19000");
    plan.taxiFuel = QStringLiteral("2000");
    return plan;
}

void enterPlan(const MainWindow& window, const Plan& plan) {
    typeInto(window, "txtOriginICAO", plan.origin);
    typeInto(window, "txtDestinationICAO", plan.destination);
    typeInto(window, "txtDestinationDistance", plan.distance);
    typeInto(window, "txtAlternateICAO", plan.alternate);
    pick(window, "cmbAlternateDistance", plan.alternateDistance);
    pick(window, "cmbWindDirection", plan.windDirection);
    typeInto(window, "txtWindIntensity", plan.wind);
    pick(window, "cmbFlightLevel", plan.flightLevel);
    typeInto(window, "txtPayLoad", plan.payload);
    typeInto(window, "txtContingencyTime", plan.contingency);
    pick(window, "cmbMLF", plan.minimumLandingFuel);
    if (QLineEdit* taxi = textBox(window, "txtTFB")) {
        click(window, "txtTFB");
        QTest::keyClick(taxi, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(taxi, Qt::Key_Backspace);
        QTest::keyClicks(taxi, plan.taxiFuel);
    }
    auto* box = window.findChild<QCheckBox*>(QStringLiteral("CheckCorrection"));
    if (box != nullptr && box->isChecked() != plan.correction) {
        click(window, "CheckCorrection");
    }
}

WindowState captureState(const MainWindow& window) {
    WindowState state;
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        state.texts[edit->objectName()] = edit->text();
        state.bases[edit->objectName()] = edit->palette().color(QPalette::Base);
    }
    for (const QComboBox* box : window.findChildren<QComboBox*>()) {
        state.texts[box->objectName()] = box->currentText();
        state.bases[box->objectName()] = box->palette().color(QPalette::Base);
    }
    if (const auto* box = window.findChild<QCheckBox*>(QStringLiteral("CheckCorrection"))) {
        state.ticked = box->isChecked();
    }
    return state;
}

QColor paletteBase(const QWidget& cell) {
    return QApplication::palette(&cell).color(QPalette::Base);
}

namespace {
QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void RecordingPrinter::record(const QString& operation) {
    if (m_failAt >= 0 && m_operations.size() == m_failAt) {
        throw PrintError("the printer is out of paper");
    }
    m_operations.append(operation);
}

void RecordingPrinter::setFontName(std::string_view name) {
    record(QStringLiteral("font ") + fromView(name));
}

void RecordingPrinter::setFontSize(double points) {
    record(QStringLiteral("size ") + QString::number(points));
}

void RecordingPrinter::setCurrentX(int twips) {
    record(QStringLiteral("x ") + QString::number(twips));
}

void RecordingPrinter::setCurrentY(int twips) {
    record(QStringLiteral("y ") + QString::number(twips));
}

void RecordingPrinter::setBold(bool bold) {
    record(QStringLiteral("bold ") + QString::number(bold ? 1 : 0));
}

void RecordingPrinter::printLine(std::string_view text) {
    record(QStringLiteral("line ") + fromView(text));
}

void RecordingPrinter::endDoc() {
    record(QStringLiteral("end"));
}

}  // namespace brimwell::test
