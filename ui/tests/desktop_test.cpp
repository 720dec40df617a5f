// The window on today's desktops: every text reads under a light and a dark scheme (WCAG 2
// contrast 4.5:1, the title and credit line 3:1), captions keep their size where a wider face
// stands in, the window names its menu entry, and a print service that never answers neither
// holds the window nor goes unsaid, nor outlives it.

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <array>
#include <map>
#include <string_view>

#include "engine/cell_names.h"
#include "tests/support/window_driver.h"
#include "ui/control_catalogue.h"
#include "ui/control_names.h"

using namespace brimwell;
using namespace brimwell::engine;
using namespace brimwell::test;
using brimwell::ui::MainWindow;
using namespace Qt::StringLiterals;

class DesktopTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;

  private Q_SLOTS:
    // One window meets the schemes one after the other, as when the desktop changes its own.
    void initTestCase() {
        m_window = openWindow();
        enterPlan(*m_window, with(samplePlan(), {{cell::txtPayLoad, "140000"},
                                                 {cell::cmbMLF, "24000"},
                                                 {cell::cmbAlternateDistance, "500"},
                                                 {cell::txtContingencyTime, "180"}}));
        click(*m_window, ui::control::cmdCalculate);
        QCOMPARE(control(*m_window, cell::txtPLW)->palette().color(QPalette::Base), Qt::red);
    }

    void everyTextReadsOnItsBackground_data() {
        QTest::addColumn<QPalette>("scheme");
        QTest::newRow("dark") << QPalette(QColor(50, 50, 50), QColor(50, 50, 50));
        QTest::newRow("light") << QApplication::style()->standardPalette();
    }
    void everyTextReadsOnItsBackground() {
        QFETCH(QPalette, scheme);
        QApplication::setPalette(scheme);
        QTRY_COMPARE(m_window->palette().color(QPalette::Window), scheme.color(QPalette::Window));
        click(*m_window,
              ui::control::cmdCalculate);  // the limit cells coloured anew under this scheme
        for (const ui::ControlDescription& description : ui::controlCatalogue()) {
            const QWidget* widget = control(*m_window, description.name);
            const QPalette& own = widget->palette();
            // The colours that each kind of control paints its text and background with.
            QList<std::pair<QColor, QColor>> pairs = {
                {own.color(QPalette::WindowText),
                 widget->parentWidget()->palette().color(QPalette::Window)}};
            if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
                pairs = {{own.color(QPalette::Text), own.color(QPalette::Base)}};
            } else if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
                const QPalette& items = list->view()->palette();
                pairs = {{own.color(QPalette::ButtonText), own.color(QPalette::Button)},
                         {items.color(QPalette::Text), items.color(QPalette::Base)}};
            }
            const QByteArray name = widget->objectName().toLatin1();
            for (const auto& [text, background] : pairs) {
                QVERIFY2(contrast(text, background) >= (name.startsWith("Label1") ? 3 : 4.5),
                         name.constData());
            }
        }
    }

    // The text of a caption lies within its box and clear of the other controls of its frame.
    void captionsKeepTheirSizeAndFit() {
        for (const ui::ControlDescription& description : ui::controlCatalogue()) {
            if (description.kind != ui::ControlKind::Label) {
                continue;
            }
            const auto* label = qobject_cast<const QLabel*>(control(*m_window, description.name));
            const QByteArray name = label->objectName().toLatin1();
            // A point is 4/3 of a pixel at the layout's 96 dots per inch.
            const QHash<double, int> pixels = {{8.25, 11}, {9.0, 12}, {9.75, 13}, {12.0, 16}};
            QVERIFY2(pixels.contains(description.font.points), name.constData());
            QCOMPARE(label->font().pixelSize(), pixels.value(description.font.points));
            const QFontMetrics metrics(label->font());
            const QSize text =
                label->wordWrap()
                    ? metrics.boundingRect(label->rect(), Qt::TextWordWrap, label->text()).size()
                    : QSize(metrics.horizontalAdvance(label->text()), metrics.height());
            QVERIFY2(text.width() <= label->width() &&
                         (!label->wordWrap() || text.height() <= label->height()),
                     name.constData());
            const QRect ink =
                QStyle::alignedRect(Qt::LeftToRight, label->alignment(), text, label->geometry()) &
                label->geometry();
            for (const QWidget* other :
                 label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(qobject_cast<const QLabel*>(other) || !other->geometry().intersects(ink),
                         name.constData());
            }
        }
    }

    // A control names only the first installed of its layout family and that family's stand-ins:
    // the face it shows is still the one Qt chooses from the whole list.
    void everyControlShowsTheFaceQtChoosesFromItsStandIns() {
        const std::map<std::string_view, QStringList> standIns = {
            {"MS Sans Serif",
             {u"MS Sans Serif"_s, u"Microsoft Sans Serif"_s, u"Arial"_s, u"Liberation Sans"_s}},
            {"Arial", {u"Arial"_s, u"Liberation Sans"_s}}};
        for (const ui::ControlDescription& description : ui::controlCatalogue()) {
            if (description.font.family.empty()) {
                continue;
            }
            const QWidget* widget = control(*m_window, description.name);
            QFont whole = widget->font();
            whole.setFamilies(standIns.at(description.font.family) +
                              QStringList{u"Helvetica"_s, u"sans-serif"_s});
            QCOMPARE(QFontInfo(widget->font()).family(), QFontInfo(whole).family());
        }
    }

    // The menu entry that desktops match the window to is the one the package installs.
    void theWindowNamesItsMenuEntry() {
        QCOMPARE(QGuiApplication::desktopFileName() + u".desktop",
                 QFileInfo(QStringLiteral(BRIMWELL_DESKTOP_ENTRY)).fileName());
    }

    // Buttons pressed while the print service takes the page and never answers, and what the
    // pilot is then told, in order. The exchange ends when the window goes: the service sees its
    // connection closed (under the sanitizers too, nothing is left inside Qt or the spooler).
    void aPrintServiceThatNeverAnswers_data() {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QStringList>("told");
        const QString late =
            u"The report was not printed: the printer did not answer within 1 second"_s;
        const QString waiting =
            u"The report was not printed: the printer has not yet answered about the last report"_s;
        QTest::newRow("Print, Clear") << u"cmbPrint Command1"_s << QStringList{late};
        QTest::newRow("Print twice") << u"cmbPrint cmbPrint"_s << QStringList{waiting, late};
        QTest::newRow("Print, Exit") << u"cmbPrint Uscita"_s << QStringList{};
    }
    void aPrintServiceThatNeverAnswers() {
        QFETCH(QString, presses);
        QFETCH(QStringList, told);
        // Listening is enough: the system takes the connection, and nothing ever answers it.
        const int service = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket calls take it so
        auto* endpoint = reinterpret_cast<sockaddr*>(&address);
        QVERIFY(bind(service, endpoint, length) == 0 && listen(service, 4) == 0 &&
                getsockname(service, endpoint, &length) == 0);
        qputenv("CUPS_SERVER", "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port)));
        auto window = openWindow();
        enterPlan(*window, samplePlan());
        click(*window, ui::control::cmdCalculate);
        window->setPrinterAnswerBound(std::chrono::seconds(1));
        QStringList& shown = warnings();
        shown.clear();
        QElapsedTimer clock;
        clock.start();
        int connection = -1;
        const auto requested = [&] {  // the request is on its way
            connection = connection < 0 ? accept(service, nullptr, nullptr) : connection;
            std::array<char, 1> first{};
            return connection >= 0 && recv(connection, first.data(), 1, MSG_PEEK) == 1;
        };
        for (const QString& button : presses.split(u' ')) {
            if (button == u"Uscita") {
                QTRY_VERIFY(requested());
            }
            click(*window, button);
        }
        QCOMPARE(text(*window, cell::txtZFW), presses.contains(u"Command1") ? u""_s : u"494088"_s);
        if (window->isVisible()) {
            QTRY_COMPARE_WITH_TIMEOUT(shown, told, 15000);
            QVERIFY(clock.elapsed() >= 1000);
        } else {
            window.reset();  // as when the program ends
            std::array<char, 4096> received{};
            while (recv(connection, received.data(), received.size(), 0) > 0) {
            }
            QCOMPARE(recv(connection, received.data(), received.size(), 0), 0);
            QCOMPARE(shown, told);
        }
        close(connection);
        close(service);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
