// Starts the program's window exactly as the program does and quits at its first frame.

#include <QApplication>

#include "bench/first_frame.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    brimwell::MainWindow window;
    brimwell::bench::quitAfterFirstFrame(window);
    window.show();
    return QApplication::exec();
}
