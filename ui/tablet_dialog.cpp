#include "ui/tablet_dialog.h"

#include <qrencode.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "ui/control_names.h"
#include "ui/fuel_check_window.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/window_cells.h"

namespace brimwell::ui {

namespace {

using namespace Qt::StringLiterals;

constexpr std::string_view kEveryNetwork = "0.0.0.0";
constexpr int kModulePixels = 5;
constexpr int kQuietModules = 4;  // the light border a reader needs around the code

// The text as a QR code, dark on light whatever the scheme, with its quiet zone; a null pixmap
// if it cannot be encoded.
QPixmap qrCode(const std::string& text) {
    QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (code == nullptr) {
        return {};
    }
    const int side = code->width + 2 * kQuietModules;
    QImage image(side, side, QImage::Format_Mono);
    image.fill(1);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // The low bit of each module is whether it is dark.
            if ((code->data[(y * code->width) + x] & 1U) != 0) {
                image.setPixel(x + kQuietModules, y + kQuietModules, 0);
            }
        }
    }
    QRcode_free(code);
    return QPixmap::fromImage(image.scaled(side * kModulePixels, side * kModulePixels));
}

}  // namespace

TabletDialog::TabletDialog(std::function<std::optional<tablet::ShownPlan>()> plan, QWidget* parent)
    : QDialog(parent),
      m_plan(std::move(plan)),
      m_switch(new QCheckBox(u"Show the flight on tablets and phones of this network"_s, this)),
      m_network(new QComboBox(this)),
      m_port(new QSpinBox(this)),
      m_address(new QLabel(this)),
      m_code(new QLabel(this)),
      m_devices(new QLabel(this)) {
    setWindowTitle(u"Show on a Tablet"_s);
    setObjectName(toQString(control::dlgTablet));
    m_switch->setObjectName(toQString(control::chkTabletServe));
    m_network->setObjectName(toQString(control::cmbTabletNetwork));
    m_port->setObjectName(toQString(control::spnTabletPort));
    m_address->setObjectName(toQString(control::lblTabletAddress));
    m_code->setObjectName(toQString(control::lblTabletCode));
    m_devices->setObjectName(toQString(control::lblTabletDevices));
    for (const auto& address : tablet::networkAddresses()) {
        m_network->addItem(toQString(address), toQString(address));
    }
    m_network->addItem(u"Every network (0.0.0.0)"_s, toQString(kEveryNetwork));
    m_port->setRange(1024, 65535);
    m_port->setValue(readSetting(kTabletPort).toInt());
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_address->setTextFormat(Qt::PlainText);
    m_code->setAccessibleName(u"QR code of the address"_s);
    auto* form = new QFormLayout;
    form->addRow(u"&Network:"_s, m_network);
    form->addRow(u"&Port:"_s, m_port);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_switch);
    layout->addLayout(form);
    layout->addWidget(m_address);
    layout->addWidget(m_code, 0, Qt::AlignHCenter);
    layout->addWidget(m_devices);
    connect(m_switch, &QCheckBox::toggled, this, &TabletDialog::switchServing);
    connect(m_port, &QSpinBox::valueChanged, this,
            [](int port) { writeSetting(kTabletPort, QString::number(port)); });
    connect(&m_deviceTimer, &QTimer::timeout, this, &TabletDialog::showDevices);
    m_deviceTimer.setInterval(500);
    showAddresses();
    showDevices();
}

TabletDialog::~TabletDialog() {
    if (m_check != nullptr) {
        m_check->removeFlightListener(m_server);
    }
}

void TabletDialog::showPlan() {
    if (!m_server.serving()) {
        return;
    }
    if (auto plan = m_plan()) {
        m_server.showPlan(std::move(*plan));
    }
}

void TabletDialog::follow(FuelCheckWindow& check) {
    if (m_check != nullptr) {
        m_check->removeFlightListener(m_server);
    }
    m_check = &check;
    m_server.newFlight();
    showPlan();
    check.addFlightListener(m_server);
}

// On: a new pairing key each time, on the network and port chosen, which stay as they are while
// serving. Off: every page is closed.
void TabletDialog::switchServing(bool on) {
    if (on) {
        const auto address = m_network->currentData().toString().toStdString();
        if (const auto refused =
                m_server.start(address, static_cast<std::uint16_t>(m_port->value()))) {
            showWarning(this, toQString(*refused));
            const QSignalBlocker blocked(m_switch);
            m_switch->setChecked(false);
            return;
        }
        showPlan();
        m_deviceTimer.start();
    } else {
        m_server.stop();
        m_deviceTimer.stop();
    }
    m_network->setEnabled(!on);
    m_port->setEnabled(!on);
    showAddresses();
    showDevices();
}

// The address of each network served on, the first as a QR code.
void TabletDialog::showAddresses() {
    if (!m_server.serving()) {
        m_address->setText(u"Switch on to show the address to open on the tablet."_s);
        m_code->clear();
        return;
    }
    const auto chosen = m_network->currentData().toString().toStdString();
    std::vector<std::string> urls;
    if (chosen == kEveryNetwork) {
        for (const auto& address : tablet::networkAddresses()) {
            urls.push_back(m_server.url(address));
        }
    } else {
        urls.push_back(m_server.url());
    }
    QString text = u"Scan the code, or open on the tablet:"_s;
    for (const auto& url : urls) {
        text += u'\n' + toQString(url);
    }
    m_address->setText(text);
    m_code->setPixmap(urls.empty() ? QPixmap() : qrCode(urls.front()));
}

void TabletDialog::showDevices() {
    const auto count = m_server.devices();
    m_devices->setText(!m_server.serving() ? u"Not serving."_s
                       : count == 1        ? u"1 device connected."_s
                                           : u"%1 devices connected."_s.arg(count));
}

}  // namespace brimwell::ui
