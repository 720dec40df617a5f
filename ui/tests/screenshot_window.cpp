// Not a test: shows the window after a calculation whose planned landing weight lies above its
// limit and saves a picture of it; given two more files, pictures of the screen with the File
// menu open, and with the summary of a SimBrief flight plan opened from it. With --kg first the
// window shows kilograms and the same plan is typed in them, the menu pictured is the Units menu
// and the flight plan one in kilograms. Needs a screen (Xvfb will do):
//   brimwell-screenshot [--kg] <window.png> [<menu.png> <import.png>]
// With --xplane, the screen with the box that tells of the sample plan loaded into X-Plane (the
// X-Plane stand-in of the tests) from the Aircraft menu:
//   brimwell-screenshot --xplane <xplane.png>

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "engine/cell_names.h"
#include "tests/support/flight_plan_file.h"
#include "tests/support/window_driver.h"
#include "tests/support/xplane_standin.h"
#include "ui/settings.h"
#include "ui/window_cells.h"

using namespace brimwell;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList files = QApplication::arguments().mid(1);
    const bool kg = !files.isEmpty() && files.first() == QStringLiteral("--kg");
    if (kg) {
        files.removeFirst();
    }
    const auto window = test::openWindow();
    test::warnings();
    if (argc == 3 && QApplication::arguments().at(1) == QStringLiteral("--xplane")) {
        const test::XPlaneStandIn xplane;
        ui::writeSetting(ui::kXPlaneAddress, test::toQ(xplane.url()));
        test::enterPlan(*window, test::samplePlan());
        ui::setWarningHandler({});  // the program's own box
        test::press(*window, QStringLiteral("cmdCalculate Ctrl+Shift+X"));
        bool saved = false;
        QTimer::singleShot(1000, window.get(), [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                const QRect area = window->frameGeometry();
                saved = QApplication::primaryScreen()
                            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                            .save(QApplication::arguments().at(2));
                box->close();
            }
        });
        return QTest::qWaitFor([&] { return saved; }, 3000) ? 0 : 1;
    }
    window->setUnit(kg ? Unit::Kilograms : Unit::Pounds);
    test::enterPlan(*window,
                    test::with(test::samplePlan(), {{cell::txtPayLoad, kg ? "63503" : "140000"},
                                                    {cell::cmbMLF, kg ? "10886" : "24000"},
                                                    {cell::txtTFB, kg ? "907" : "2000"},
                                                    {cell::cmbAlternateDistance, "500"},
                                                    {cell::txtContingencyTime, "180"}}));
    test::click(*window, "cmdCalculate");
    bool saved = (files.size() == 1 || files.size() == 3) && window->grab().save(files[0]);
    const auto saveScreen = [&window, &saved](const QString& file) {
        const QRect area = window->frameGeometry();
        saved = saved && QApplication::primaryScreen()
                             ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                             .save(file);
    };
    if (saved && files.size() == 3) {
        auto* bar = window->findChild<QMenuBar*>();
        bar->setActiveAction(kg ? bar->actions().last() : bar->actions().first());
        QTest::qWait(500);
        saveScreen(files[1]);
        QApplication::activePopupWidget()->close();
        // An alternate between the list's distances, an initial altitude above the list's levels.
        const QTemporaryDir folder;
        const QString plan = folder.filePath(QStringLiteral("LIRFKJFK_PDF_1701234567.xml"));
        test::OfpChanges changes{
            .fields = {{"alternate/distance", "187"}, {"general/initial_altitude", "43000"}}};
        if (kg) {
            changes.fields.insert(
                changes.fields.end(),
                {{"params/units", "kgs"}, {"weights/payload", "45360"}, {"fuel/taxi", "907"}});
        }
        std::ofstream(plan.toStdString()) << test::ofpText(changes);
        test::dialogs().files = QStringList{plan};
        ui::setWarningHandler({});  // the program's own box
        QTimer::singleShot(1000, window.get(), [&, file = files[2]] {
            saveScreen(file);
            QApplication::activeModalWidget()->close();
        });
        test::press(*window, QStringLiteral("Ctrl+O"));
    }
    return saved && test::warnings().isEmpty() ? 0 : 1;
}
