// The yardstick of the window's start-up: a bare Qt Widgets window with one button, started the
// same way and quitting at its first frame.

#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "bench/first_frame.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
    brimwell::bench::quitAfterFirstFrame(window);
    window.show();
    return QApplication::exec();
}
