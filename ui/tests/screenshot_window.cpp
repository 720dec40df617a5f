// Shows the window after a calculation whose planned landing weight lies above its limit, and
// saves a picture of it: brimwell-screenshot <file.png>. Needs a screen (Xvfb will do).

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "window_driver.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        qWarning("usage: brimwell-screenshot <file.png>");
        return 2;
    }
    auto window = brimwell::test::openWindow();
    brimwell::test::MessageBoxWatcher watcher;
    brimwell::test::Plan plan = brimwell::test::samplePlan();
    plan.payload = QStringLiteral("140000");
    plan.minimumLandingFuel = QStringLiteral("24000");
    plan.alternateDistance = QStringLiteral("500");
    plan.contingency = QStringLiteral("180");
    brimwell::test::enterPlan(*window, plan);
    brimwell::test::click(*window, "cmdCalculate");
    QTest::qWait(300);
    for (const QString& text : watcher.texts()) {
        qWarning("message: %s", qPrintable(text));
    }
    const bool saved = window->grab().save(QString::fromLocal8Bit(argv[1]));
    return saved ? 0 : 1;
}
