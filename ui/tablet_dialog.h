#pragma once

// Aircraft > Show on a Tablet…: the plan and the watched flight served to the browsers of the home
// network (tablet/tablet_server.h), in a small dialog: the switch that serves (off at every start
// of the program), which network to serve on (the first private address unless the pilot chooses
// another, or every network), the port (remembered in the settings), the address of each network
// served on with its pairing key, a QR code of the first to scan, and the devices connected.
//
// The pages show the plan of the main window as it stands when serving starts, after each
// Calculate, and as a Fuel Check window opens; and the flight of the Fuel Check window while one is
// open, each of its readings as it is told. The dialog hides when closed and goes on serving; the
// server lives as long as the main window.

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "tablet/tablet_server.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace brimwell::ui {

class FuelCheckWindow;

class TabletDialog final : public QDialog {
    Q_OBJECT

  public:
    // `plan` gives the main window's plan as the pages show it, or none before a Calculate.
    TabletDialog(std::function<std::optional<tablet::ShownPlan>()> plan, QWidget* parent);
    ~TabletDialog() override;
    Q_DISABLE_COPY_MOVE(TabletDialog)

    // The main window's plan to the pages, while serving.
    void showPlan();
    // The flight of the check window to the pages from now on, a flight of its own.
    void follow(FuelCheckWindow& check);
    bool serving() const { return m_server.serving(); }

  private:
    void switchServing(bool on);
    void showAddresses();
    void showDevices();

    std::function<std::optional<tablet::ShownPlan>()> m_plan;
    tablet::TabletServer m_server;
    QPointer<FuelCheckWindow> m_check;
    QCheckBox* m_switch;
    QComboBox* m_network;
    QSpinBox* m_port;
    QLabel* m_address;
    QLabel* m_code;
    QLabel* m_devices;
    QTimer m_deviceTimer;
};

}  // namespace brimwell::ui
