#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "base/shown_text.h"
#include "engine/cell_names.h"
#include "engine/fuel_check.h"
#include "flightlog/flight_log.h"
#include "flightlog/fuel_factor.h"
#include "report/print_command.h"
#include "ui/cell_entry_checks.h"
#include "ui/control_names.h"
#include "ui/dialogs.h"
#include "ui/flight_plan_opener.h"
#include "ui/flights_window.h"
#include "ui/fuel_check_window.h"
#include "ui/menu_bar.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/system_printer.h"
#include "ui/tablet_dialog.h"
#include "ui/unit_choice.h"
#include "ui/window_cells.h"
#include "ui/xplane_loader.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using base::shownText;
using engine::Background;
using engine::FuelPlanLine;
using engine::FuelPlanner;
using engine::Unit;
using engine::UnitCells;
using report::Printer;
using report::PrintError;
using report::printFailureMessage;
namespace cell = engine::cell;

namespace {

// The one local file that the data dragged over the window or dropped on it holds, or the empty
// text.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

bool fuelFactorTicked(const QMenuBar& bar) {
    return bar.findChild<QAction*>(toQString(control::mnuFuelFactor))->isChecked();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent),
      m_menuBar(new QMenuBar(this)),
      m_systemPrinter(std::make_unique<SystemPrinter>(
          [this](const std::string& message) { showWarning(this, toQString(message)); })),
      m_printerFactory([this] { return m_systemPrinter->open(); }) {
    // The layout's controls keep their coordinates in a client widget under the menu bar; the
    // window grows by the bar's height.
    auto* client = new QWidget(this);
    m_controls = buildWindow(*client);
    buildMenuBar(*m_menuBar, menuCommands());
    const int barHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, client->width(), barHeight);
    client->move(0, barHeight);
    resize(client->width(), barHeight + client->height());
    setAcceptDrops(true);
    m_cells = std::make_unique<WindowCells>(*this);
    m_units = std::make_unique<UnitCells>(*m_cells);
    m_planner = std::make_unique<FuelPlanner>(*m_units, *m_cells);
    m_entryChecks = std::make_unique<CellEntryChecks>(
        *this, m_controls, *m_units, [this](QEvent& event) { return takeDrop(event); });
    m_flightPlans = std::make_unique<FlightPlanOpener>(
        *this, *m_units, *m_menuBar->findChild<QAction*>(toQString(control::mnuFetchFlightPlan)),
        [this] { clear(); }, [this] { showWhetherBusy(); });
    m_xplane = std::make_unique<XPlaneLoader>(*this, *m_units, [this] {
        updateAircraftActions();
        showWhetherBusy();
    });
    m_unitChoice = std::make_unique<UnitChoice>(
        m_controls, *m_units, *m_menuBar,
        [this] { return m_entryChecks->mayLeaveFocusFor(nullptr); },
        [this](Unit unit) {
            if (m_fuelCheck != nullptr) {
                m_fuelCheck->setUnit(unit);
            }
            if (m_flightList != nullptr) {
                m_flightList->setUnit(unit);
            }
            updateAircraftActions();
            if (m_tablet != nullptr) {
                m_tablet->showPlan();  // and the readings from now on, in the unit shown
            }
        });
    connectButtons();
    m_menuBar->findChild<QAction*>(toQString(control::mnuFuelFactor))
        ->setChecked(readSetting(kUseFuelFactor) == u"on"_s);
    setUnit(UnitChoice::remembered());
    m_controls.at(std::string(cell::txtOriginICAO))->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::setUnit(Unit unit) {
    m_unitChoice->show(unit);
}

Unit MainWindow::unit() const {
    return m_unitChoice->unit();
}

void MainWindow::setFetchBound(std::chrono::milliseconds bound) {
    m_flightPlans->setFetchBound(bound);
}

void MainWindow::setPrinterFactory(PrinterFactory factory) {
    m_printerFactory = std::move(factory);
}

void MainWindow::setPrinterAnswerBound(std::chrono::milliseconds bound) {
    m_systemPrinter->setAnswerBound(bound);
}

// Opening or fetching a flight plan, like choosing a unit (ui/unit_choice.h), leaves the cell
// holding the focus, so its check runs first.
MenuCommands MainWindow::menuCommands() {
    MenuCommands commands;
    commands.openFlightPlan = [this] {
        if (m_entryChecks->mayLeaveFocusFor(nullptr)) {
            m_flightPlans->openChosenFile();
        }
    };
    commands.fetchFlightPlan = [this] {
        if (!m_flightPlans->fetching() && m_entryChecks->mayLeaveFocusFor(nullptr)) {
            m_flightPlans->fetchLatest();
        }
    };
    commands.askSimbriefUser = [this] { m_flightPlans->askSimbriefUser(); };
    commands.showFlights = [this] { showFlights(); };
    commands.tickFuelFactor = [this] {
        writeSetting(kUseFuelFactor, fuelFactorTicked(*m_menuBar) ? u"on"_s : QString());
        updateAircraftActions();
    };
    commands.loadIntoXPlane = [this] { m_xplane->load(); };
    commands.checkFuel = [this] { checkFuel(); };
    commands.askXPlaneAddress = [this] { askXPlaneAddress(*this); };
    commands.showOnTablet = [this] { showOnTablet(); };
    commands.showPounds = [this] { m_unitChoice->choose(Unit::Pounds); };
    commands.showKilograms = [this] { m_unitChoice->choose(Unit::Kilograms); };
    return commands;
}

void MainWindow::connectButtons() {
    const auto connectButton = [this](std::string_view name, void (MainWindow::*handler)()) {
        auto* button = qobject_cast<QPushButton*>(m_controls.at(std::string(name)));
        connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton(control::cmdCalculate, &MainWindow::calculate);
    connectButton(control::Command1, &MainWindow::clear);
    connectButton(control::Uscita, &MainWindow::exit);
    connectButton(control::cmbPrint, &MainWindow::print);
    // A change of an input may part the results from the inputs they were calculated from.
    for (const std::string_view name : cell::kInputs) {
        QWidget* input = m_controls.at(std::string(name));
        if (auto* list = qobject_cast<QComboBox*>(input)) {
            connect(list, &QComboBox::currentIndexChanged, this,
                    &MainWindow::updateAircraftActions);
        } else {
            connect(qobject_cast<QLineEdit*>(input), &QLineEdit::textChanged, this,
                    &MainWindow::updateAircraftActions);
        }
    }
    connect(qobject_cast<QCheckBox*>(m_controls.at(std::string(cell::CheckCorrection))),
            &QCheckBox::toggled, this, &MainWindow::updateAircraftActions);
}

// A change of the colour scheme recolours what the layout colours itself.
void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        applyColours(m_controls);
    }
    QWidget::changeEvent(event);
}

// --- Buttons -----------------------------------------------------------------------------

void MainWindow::calculate() {
    m_fuelFactor = fuelFactorToUse();
    m_planner->setFuelFactor(m_fuelFactor);
    const bool planned = m_planner->calculate();
    m_calculatedInputs = planned ? std::optional(inputTexts()) : std::nullopt;
    updateAircraftActions();
    if (m_tablet != nullptr) {
        m_tablet->showPlan();
    }
}

// Clear: empties the fifteen results one after the other and gives the six that Calculate
// may colour back the window background. The inputs, txtBOW, cmbMLF and txtTFB stay.
void MainWindow::clear() {
    m_calculatedInputs.reset();
    m_fuelFactor.reset();
    updateAircraftActions();
    for (const std::string_view name : cell::kResults) {
        m_cells->setText(name, "");
        if (std::find(cell::kColoured.begin(), cell::kColoured.end(), name) !=
            cell::kColoured.end()) {
            m_cells->setBackground(name, Background::windowBackground());
        }
    }
}

// Exit: the window closes and, as it is the program's last, the program ends; nothing asks.
void MainWindow::exit() {
    close();
}

// Print: the report is collected at once from the cells as they are; the printer takes it from
// there on its own time. A failure, now or later, shows one message and changes nothing.
void MainWindow::print() {
    const auto tell = [this](const PrintError& error) {
        showWarning(this, toQString(printFailureMessage(error)));
    };
    try {
        std::unique_ptr<Printer> printer = m_printerFactory ? m_printerFactory() : nullptr;
        if (printer == nullptr) {
            throw PrintError("there is no printer");
        }
        report::printReport(*m_cells, *printer, m_units->unit(), m_fuelFactor);
    } catch (const PrintError& error) {
        tell(error);
    } catch (const std::exception& error) {
        tell(PrintError(error.what()));
    }
}

// --- The plan and the aircraft -----------------------------------------------------------

// The check window is made here, not before: the window's start-up does none of its work. The plan
// is read from the cells now, and kept.
void MainWindow::checkFuel() {
    if (m_fuelCheck != nullptr && m_fuelCheck->isVisible()) {
        m_fuelCheck->raise();
        m_fuelCheck->activateWindow();
        return;
    }
    const auto icao = [this](std::string_view name) {
        return toQString(shownText(m_units->text(name), 8));
    };
    const QString origin = icao(cell::txtOriginICAO);
    const QString destination = icao(cell::txtDestinationICAO);
    m_fuelCheck = new FuelCheckWindow(
        FuelPlanLine::read(*m_units), m_flightPlans->route(), m_units->unit(),
        origin.isEmpty() && destination.isEmpty() ? QString() : origin + u" → "_s + destination,
        this);
    m_fuelCheck->keepIn(
        flightlog::plannedFlight(*m_units, m_units->unit(), m_flightPlans->route(), m_fuelFactor));
    m_fuelCheck->show();
    if (m_tablet != nullptr) {
        m_tablet->follow(*m_fuelCheck);
    }
}

// The dialog is made when first chosen and kept: closed, it goes on serving. The pages are given
// the plan of the last Calculate while the cells hold it.
void MainWindow::showOnTablet() {
    if (m_tablet == nullptr) {
        m_tablet = new TabletDialog(
            [this]() -> std::optional<tablet::ShownPlan> {
                auto line = FuelPlanLine::read(*m_units);
                auto* planned = std::get_if<FuelPlanLine>(&line);
                if (!m_calculatedInputs || *m_calculatedInputs != inputTexts() ||
                    planned == nullptr) {
                    return std::nullopt;
                }
                std::vector<std::string> red;
                for (const std::string_view name : cell::kColoured) {
                    if (m_cells->background(name) == engine::kLimitRed) {
                        red.emplace_back(name);
                    }
                }
                return tablet::shownPlan(*m_cells, m_units->unit(), red, planned);
            },
            this);
        if (m_fuelCheck != nullptr) {
            m_tablet->follow(*m_fuelCheck);
        }
    }
    m_tablet->show();
    m_tablet->raise();
    m_tablet->activateWindow();
}

void MainWindow::showFlights() {
    if (m_flightList == nullptr) {
        m_flightList = new FlightsWindow(m_units->unit(), this);
    } else {
        m_flightList->refresh();
    }
    m_flightList->show();
    m_flightList->raise();
    m_flightList->activateWindow();
}

std::optional<double> MainWindow::fuelFactorToUse() {
    QWidget& flightPlanFuel = *m_controls.at(std::string(cell::txtFPF));
    if (!fuelFactorTicked(*m_menuBar)) {
        flightPlanFuel.setToolTip({});
        return std::nullopt;
    }
    const flightlog::FlightLog log;
    if (!log.notice().empty()) {
        showWarning(this, toQString(log.notice()));
    }
    const auto learnt = flightlog::learntFuelFactor(log.flights());
    if (!learnt) {
        flightPlanFuel.setToolTip(
            u"Your fuel factor is not applied: it is learnt from 3 landed flights or more in "
            "the flight log (File > Flights…)."_s);
        return std::nullopt;
    }
    flightPlanFuel.setToolTip(u"With your fuel factor %1: %2."_s.arg(
        toQString(engine::fuelFactorPercent(learnt->applied())),
        toQString(flightlog::factorSentence(*learnt))));
    return learnt->applied();
}

// The inputs in pounds, as the engine reads them, so that a switch of the unit parts no plan from
// its inputs.
std::vector<std::string> MainWindow::inputTexts() const {
    std::vector<std::string> texts;
    texts.reserve(cell::kInputs.size() + 1);
    for (const std::string_view name : cell::kInputs) {
        texts.push_back(m_units->text(name));
    }
    texts.emplace_back(m_units->isTicked(cell::CheckCorrection) ? "ticked" : "");
    texts.emplace_back(fuelFactorTicked(*m_menuBar) ? "fuel factor" : "");
    return texts;
}

// The busy pointer while a fetch or a load is under way.
void MainWindow::showWhetherBusy() {
    if (m_flightPlans->fetching() || m_xplane->loading()) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

void MainWindow::updateAircraftActions() {
    const bool calculated = m_calculatedInputs && *m_calculatedInputs == inputTexts();
    findChild<QAction*>(toQString(control::mnuLoadIntoXPlane))
        ->setEnabled(!m_xplane->loading() && calculated);
    findChild<QAction*>(toQString(control::mnuFuelCheck))->setEnabled(calculated);
}

// --- The window's own events ---------------------------------------------------------------

// A fetch, a load or a fuel check under way ends with the window, before the program does:
// stopped, it ends within a moment.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_fuelCheck != nullptr) {
        m_fuelCheck->close();
    }
    if (m_flightList != nullptr) {
        m_flightList->close();
    }
    m_flightPlans->stopFetch();
    m_xplane->stop();
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    m_menuBar->resize(width(), m_menuBar->height());
    QWidget::resizeEvent(event);
}

bool MainWindow::takeDrop(QEvent& event) {
    auto& drop = static_cast<QDropEvent&>(event);
    const QString file = droppedFile(drop.mimeData());
    if (file.isEmpty()) {
        return false;
    }
    drop.acceptProposedAction();
    if (event.type() == QEvent::Drop && m_entryChecks->mayLeaveFocusFor(nullptr)) {
        m_flightPlans->open(file);
    }
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    takeDrop(*event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    takeDrop(*event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    takeDrop(*event);
}

}  // namespace brimwell::ui
