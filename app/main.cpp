#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <span>

#include "ui/font_configuration.h"
#include "ui/main_window.h"

namespace {

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Plans the fuel load of a Boeing 747-400 flight in a flight simulator."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered before the window system is opened, so that they work
// without a display. Qt's own options (-platform, -style, ...) are still among the arguments
// here; read as long options they cannot be mistaken for -h or -v.
void answerHelpOrVersion(int& argc, char** argv) {
    QStringList arguments;
    for (const char* const argument : std::span(argv, static_cast<std::size_t>(argc))) {
        arguments.append(QString::fromLocal8Bit(argument));
    }
    QCommandLineParser parser;
    describe(parser);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    (void)parser.parse(arguments);
    const bool version = parser.isSet(QStringLiteral("version"));
    if (!version && !parser.isSet(QStringLiteral("help"))) {
        return;
    }
    // The usage line names the program as it was called.
    const QCoreApplication application(argc, argv);
    if (version) {
        parser.showVersion();
    }
    parser.showHelp();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("brimwell"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRIMWELL_VERSION));
    answerHelpOrVersion(argc, argv);

    // Fontconfig reads the installed fonts while QApplication connects to the display.
    brimwell::ui::FontConfigurationLoad fonts;
    // QApplication takes Qt's own options; the parser refuses whatever is left.
    const QApplication application(argc, argv);
    fonts.wait();
    QCommandLineParser parser;
    describe(parser);
    parser.process(application);

    brimwell::ui::MainWindow window;
    window.show();
    return QApplication::exec();
}
