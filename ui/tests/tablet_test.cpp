// Aircraft > Show on a Tablet… in the real window: off at the start, the network and port chosen
// and the port remembered, the address with its pairing key and its QR code, the plan and the
// Fuel Check's readings reaching a page, the devices counted, and switched off again.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>

#include "tests/support/raw_web_client.h"
#include "tests/support/window_driver.h"
#include "tests/support/xplane_standin.h"
#include "ui/control_names.h"
#include "ui/settings.h"

using namespace brimwell;
using namespace brimwell::test;
using namespace Qt::StringLiterals;

namespace {

// A port free at the moment, from the system.
int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto* any = static_cast<sockaddr*>(static_cast<void*>(&address));
    socklen_t size = sizeof address;
    const bool bound = bind(fd, any, sizeof address) == 0 && getsockname(fd, any, &size) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

}  // namespace

class TabletTest final : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void showsThePlanAndTheFlightToAPairedPage() {
        qputenv("BRIMWELL_TEST_FUEL_CHECK_INTERVAL_MS", "100");
        XPlaneStandIn xplane;
        xplane.fly({{.fuelOnBoardKg = 103400}});
        const auto window = openWindow();
        window->setUnit(engine::Unit::Pounds);
        ui::writeSetting(ui::kXPlaneAddress, toQ(xplane.url()));
        enterPlan(*window, samplePlan());
        press(*window, u"Alt+C"_s);
        window->findChild<QAction*>(toQ(ui::control::mnuShowOnTablet))->trigger();
        auto* dialog = window->findChild<QDialog*>(toQ(ui::control::dlgTablet));
        QVERIFY(dialog != nullptr && dialog->isVisible());
        auto& serve = *dialog->findChild<QCheckBox*>(toQ(ui::control::chkTabletServe));
        auto& network = *dialog->findChild<QComboBox*>(toQ(ui::control::cmbTabletNetwork));
        auto& port = *dialog->findChild<QSpinBox*>(toQ(ui::control::spnTabletPort));
        auto& devices = *dialog->findChild<QLabel*>(toQ(ui::control::lblTabletDevices));
        auto& code = *dialog->findChild<QLabel*>(toQ(ui::control::lblTabletCode));
        QVERIFY(!serve.isChecked());
        QCOMPARE(devices.text(), u"Not serving."_s);
        QCOMPARE(port.value(), 8087);
        QCOMPARE(network.itemText(network.count() - 1), u"Every network (0.0.0.0)"_s);
        QCOMPARE(network.currentIndex(), 0);
        network.setCurrentIndex(network.findText(u"127.0.0.1"_s));
        const int chosen = freePort();
        port.setValue(chosen);
        QCOMPARE(ui::readSetting(ui::kTabletPort), QString::number(chosen));

        serve.click();
        const QRegularExpression address(u"http://127\\.0\\.0\\.1:"_s + QString::number(chosen) +
                                         u"/\\?key=([0-9a-f]{32})$"_s);
        const auto match =
            address.match(dialog->findChild<QLabel*>(toQ(ui::control::lblTabletAddress))->text());
        QVERIFY(match.hasMatch());
        QVERIFY(!code.pixmap().isNull() && code.pixmap().width() == code.pixmap().height());
        QVERIFY(!network.isEnabled() && !port.isEnabled());

        const std::string host = "127.0.0.1:" + std::to_string(chosen);
        RawWebClient page(static_cast<std::uint16_t>(chosen));
        page.send(upgradeRequest(
            host, "http://" + host,
            pairingCookie(static_cast<std::uint16_t>(chosen), match.captured(1).toStdString())));
        QVERIFY(page.receiveUntil(R"("txtFL":"229752")"));
        QTRY_COMPARE(devices.text(), u"1 device connected."_s);
        window->activateWindow();  // as the pilot clicks it, over the dialog
        QTRY_VERIFY(QApplication::activeWindow() == window.get());
        press(*window, u"Ctrl+Shift+F"_s);  // Fuel Check: its readings reach the page
        QTRY_VERIFY2(page.receiveUntil(R"("fuel_on_board":227958)", std::chrono::milliseconds(5)),
                     page.received().substr(page.received().size() - 300).c_str());

        serve.click();
        QCOMPARE(devices.text(), u"Not serving."_s);
        QVERIFY(page.closedWithin(std::chrono::seconds(1)));
        QVERIFY(code.pixmap().isNull() && network.isEnabled());
    }
};

QTEST_MAIN(TabletTest)
#include "tablet_test.moc"
