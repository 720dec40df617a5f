// The yardstick of the window's start-up: a bare Qt Widgets window with one button, of the size
// given on the command line (the program's window's, which the benchmark measured first).
//   bench_start_bare_window WIDTH HEIGHT

#include <QApplication>
#include <QByteArray>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <span>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto arguments = std::span(argv, static_cast<std::size_t>(argc));
    if (arguments.size() != 3) {
        return 2;
    }
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &window), 0,
                      Qt::AlignLeft | Qt::AlignTop);
    window.resize(QByteArray(arguments[1]).toInt(), QByteArray(arguments[2]).toInt());
    window.show();
    return QApplication::exec();
}
