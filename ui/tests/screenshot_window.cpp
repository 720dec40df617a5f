// Not a test: shows the window after a calculation whose planned landing weight lies above its
// limit and saves a picture of it: brimwell-screenshot <file.png> [lbs|kg]. In kg the window
// shows kilograms and the same plan is typed in them. Needs a screen (Xvfb will do).

#include <QApplication>

#include "engine/cell_names.h"
#include "tests/support/window_driver.h"

using namespace brimwell;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const bool kg = argc == 3 && std::string_view(argv[2]) == "kg";
    const auto window = test::openWindow();
    test::warnings();
    window->setUnit(kg ? Unit::Kilograms : Unit::Pounds);
    test::enterPlan(*window,
                    test::with(test::samplePlan(), {{cell::txtPayLoad, kg ? "63503" : "140000"},
                                                    {cell::cmbMLF, kg ? "10886" : "24000"},
                                                    {cell::txtTFB, kg ? "907" : "2000"},
                                                    {cell::cmbAlternateDistance, "500"},
                                                    {cell::txtContingencyTime, "180"}}));
    test::click(*window, "cmdCalculate");
    const bool saved = argc >= 2 && window->grab().save(QString::fromLocal8Bit(argv[1]));
    return saved && test::warnings().isEmpty() ? 0 : 1;
}
