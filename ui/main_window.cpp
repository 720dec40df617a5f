#include "ui/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <array>
#include <exception>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "engine/shown_text.h"
#include "flightplan/flight_plan.h"
#include "links/simbrief/simbrief.h"
#include "report/print_command.h"
#include "ui/background_work.h"
#include "ui/control_catalogue.h"
#include "ui/dialogs.h"
#include "ui/fuel_check_window.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/system_printer.h"

using namespace Qt::StringLiterals;

namespace brimwell {

namespace {

using ui::toQString;

// The one local file that the data dragged over the window or dropped on it holds, or the empty
// text.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

// What the pilot reads after a plan has filled the cells: what went where, what did not and why.
QString summaryOf(const flightplan::FlightPlanReading& reading, const QString& heading, Unit unit) {
    QString summary = heading;
    for (const flightplan::FilledCell& filled : reading.filled) {
        summary += u"\n    "_s + toQString(flightplan::describe(filled, unit));
    }
    if (!reading.unmapped.empty()) {
        summary += u"\n\nNot filled, kept as they were:"_s;
        for (const flightplan::UnmappedField& unmapped : reading.unmapped) {
            summary += u"\n    "_s + toQString(flightplan::describe(unmapped));
        }
    }
    return summary +
           u"\n\nThe contingency time, the minimum landing fuel and the correction "
           "stay as you set them. Check them, then press Calculate."_s;
}

QString notAnXPlaneAddress(const QString& text) {
    return u"\"%1\" is not an address of X-Plane. Write it as http://host:port: "
           "http://localhost:8086 for X-Plane on this computer, or the name or IP address of "
           "another computer and X-Plane's port there, such as http://192.168.1.20:8086."_s.arg(
               text);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent),
      m_menuBar(new QMenuBar(this)),
      m_systemPrinter(std::make_unique<ui::SystemPrinter>([this](const std::string& message) {
          ui::showWarning(this, QString::fromStdString(message));
      })),
      m_printerFactory([this] { return m_systemPrinter->open(); }),
      m_fetchBound(links::simbriefBound()) {
    // The layout's controls keep their coordinates in a client widget under the menu bar; the
    // window grows by the bar's height.
    auto* client = new QWidget(this);
    m_controls = ui::buildWindow(*client);
    buildMenuBar();
    const int barHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, client->width(), barHeight);
    client->move(0, barHeight);
    resize(client->width(), barHeight + client->height());
    setAcceptDrops(true);
    m_cells = std::make_unique<ui::WindowCells>(*this);
    m_units = std::make_unique<UnitCells>(*m_cells);
    m_planner = std::make_unique<FuelPlanner>(*m_units, *m_cells);
    for (const ui::ControlDescription& description : ui::controlCatalogue()) {
        if (ui::takesFocus(description.kind)) {
            m_controls.at(std::string(description.name))->installEventFilter(this);
        }
    }
    for (const std::string_view name : kDigitCells) {
        // Typed characters pass the key filter one by one; an input method would go round it.
        m_controls.at(std::string(name))->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    connectHandlers();
    orderFocusChain();
    setUnit(unitNamed(ui::readSetting(ui::kWeightUnit).toStdString()).value_or(Unit::Pounds));
    m_controls.at(std::string(cell::txtOriginICAO))->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::setUnit(Unit unit) {
    m_units->setUnit(unit);
    ui::showUnitTexts(m_controls, unit);
    if (m_fuelCheck != nullptr) {
        m_fuelCheck->setUnit(unit);
    }
    findChild<QAction*>(unit == Unit::Kilograms ? u"mnuKilograms"_s : u"mnuPounds"_s)
        ->setChecked(true);
    updateAircraftActions();
}

Unit MainWindow::unit() const {
    return m_units->unit();
}

void MainWindow::setFetchBound(std::chrono::milliseconds bound) {
    m_fetchBound = bound;
}

void MainWindow::setPrinterFactory(PrinterFactory factory) {
    m_printerFactory = std::move(factory);
}

void MainWindow::setPrinterAnswerBound(std::chrono::milliseconds bound) {
    m_systemPrinter->setAnswerBound(bound);
}

void MainWindow::connectHandlers() {
    const auto connectButton = [this](std::string_view name, void (MainWindow::*handler)()) {
        auto* button = qobject_cast<QPushButton*>(m_controls.at(std::string(name)));
        connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton("cmdCalculate", &MainWindow::cmdCalculate_Click);
    connectButton("Command1", &MainWindow::Command1_Click);
    connectButton("Uscita", &MainWindow::Uscita_Click);
    connectButton("cmbPrint", &MainWindow::cmbPrint_Click);
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

void MainWindow::orderFocusChain() {
    std::vector<const ui::ControlDescription*> order;
    for (const ui::ControlDescription& description : ui::controlCatalogue()) {
        if (ui::takesFocus(description.kind)) {
            order.push_back(&description);
        }
    }
    std::sort(order.begin(), order.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(m_controls.at(std::string(order[i - 1]->name)),
                             m_controls.at(std::string(order[i]->name)));
    }
}

void MainWindow::buildMenuBar() {
    // The menus' access keys leave Alt+C, Alt+L, Alt+E and Alt+P to the buttons.
    static constexpr std::array<MenuItem, 8> kMenuItems = {{
        {.menu = "mnuFile",
         .menuCaption = "&File",
         .name = "mnuOpenFlightPlan",
         .caption = "&Open Flight Plan…",
         .shortcut = "Ctrl+O",
         .handler = &MainWindow::mnuOpenFlightPlan_Click},
        {.menu = "mnuFile",
         .menuCaption = "&File",
         .name = "mnuFetchFlightPlan",
         .caption = "&Fetch Latest Flight Plan…",
         .shortcut = "",
         .handler = &MainWindow::mnuFetchFlightPlan_Click},
        {.menu = "mnuFile",
         .menuCaption = "&File",
         .name = "mnuSimbriefUser",
         .caption = "SimBrief &User Name or Pilot ID…",
         .shortcut = "",
         .handler = &MainWindow::mnuSimbriefUser_Click},
        {.menu = "mnuAircraft",
         .menuCaption = "&Aircraft",
         .name = "mnuLoadIntoXPlane",
         .caption = "&Load into X-Plane",
         .shortcut = "Ctrl+Shift+X",
         .handler = &MainWindow::mnuLoadIntoXPlane_Click},
        {.menu = "mnuAircraft",
         .menuCaption = "&Aircraft",
         .name = "mnuFuelCheck",
         .caption = "&Fuel Check",
         .shortcut = "Ctrl+Shift+F",
         .handler = &MainWindow::mnuFuelCheck_Click},
        {.menu = "mnuAircraft",
         .menuCaption = "&Aircraft",
         .name = "mnuXPlaneAddress",
         .caption = "X-Plane &Address…",
         .shortcut = "",
         .handler = &MainWindow::mnuXPlaneAddress_Click},
        {.menu = "mnuUnits",
         .menuCaption = "U&nits",
         .name = "mnuPounds",
         .caption = "Poun&ds (lbs)",
         .shortcut = "",
         .handler = &MainWindow::mnuPounds_Click,
         .group = "weight"},
        {.menu = "mnuUnits",
         .menuCaption = "U&nits",
         .name = "mnuKilograms",
         .caption = "&Kilograms (kg)",
         .shortcut = "",
         .handler = &MainWindow::mnuKilograms_Click,
         .group = "weight"},
    }};
    for (const MenuItem& item : kMenuItems) {
        auto* menu = m_menuBar->findChild<QMenu*>(toQString(item.menu));
        if (menu == nullptr) {
            menu = m_menuBar->addMenu(toQString(item.menuCaption));
            menu->setObjectName(toQString(item.menu));
        }
        QAction* action = menu->addAction(toQString(item.caption));
        action->setObjectName(toQString(item.name));
        action->setShortcut(QKeySequence(toQString(item.shortcut)));
        if (!item.group.empty()) {
            auto* group = menu->findChild<QActionGroup*>(toQString(item.group));
            if (group == nullptr) {
                group = new QActionGroup(menu);
                group->setObjectName(toQString(item.group));
            }
            action->setCheckable(true);
            group->addAction(action);
        }
        connect(action, &QAction::triggered, this, item.handler);
    }
}

// A change of the colour scheme recolours what the layout colours itself.
void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        ui::applyColours(m_controls);
    }
    QWidget::changeEvent(event);
}

// --- Buttons -----------------------------------------------------------------------------

void MainWindow::cmdCalculate_Click() {
    const bool planned = m_planner->cmdCalculate_Click();
    m_calculatedInputs = planned ? std::optional(inputTexts()) : std::nullopt;
    updateAircraftActions();
}

// Clear: empties the fifteen results one after the other and gives the six that Calculate
// may colour back the window background. The inputs, txtBOW, cmbMLF and txtTFB stay.
void MainWindow::Command1_Click() {
    m_calculatedInputs.reset();
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
void MainWindow::Uscita_Click() {
    close();
}

// Print: the report is collected at once from the cells as they are; the printer takes it from
// there on its own time. A failure, now or later, shows one message and changes nothing.
void MainWindow::cmbPrint_Click() {
    try {
        std::unique_ptr<Printer> printer = m_printerFactory ? m_printerFactory() : nullptr;
        if (printer == nullptr) {
            throw PrintError("there is no printer");
        }
        brimwell::cmbPrint_Click(*m_cells, *printer, m_units->unit());
    } catch (const PrintError& error) {
        showPrintFailure(error);
    } catch (const std::exception& error) {
        showPrintFailure(PrintError(error.what()));
    }
}

// --- Flight plans ------------------------------------------------------------------------

void MainWindow::mnuOpenFlightPlan_Click() {
    if (!mayLeaveFocusFor(nullptr)) {
        return;
    }
    const QString file = ui::chooseFileToOpen(this, u"Open Flight Plan"_s,
                                              u"SimBrief flight plans (*.xml *.json)"_s);
    if (!file.isEmpty()) {
        openFlightPlan(file);
    }
}

void MainWindow::openFlightPlan(const QString& file) {
    stopFetch();  // the plan that the pilot opened is the one he wants
    fillFromFlightPlan(
        [&file] { return flightplan::readFlightPlanFile(QFile::encodeName(file).toStdString()); },
        u"The flight plan "_s + toQString(shownText(QFileInfo(file).fileName().toStdString())) +
            u" filled:"_s,
        u"The flight plan was not opened: "_s);
}

void MainWindow::fillFromFlightPlan(const std::function<flightplan::FlightPlanReading()>& read,
                                    const QString& heading, const QString& failure) {
    // The reader throws nothing by its word; should it ever, the window still does not end.
    try {
        const flightplan::FlightPlanReading reading = read();
        if (reading.refusal) {
            ui::showWarning(this, failure + toQString(*reading.refusal));
            return;
        }
        Command1_Click();  // the results no longer match the flight data
        for (const flightplan::FilledCell& filled : reading.filled) {
            flightplan::fill(*m_units, filled);
        }
        ui::showSummary(this, summaryOf(reading, heading, m_units->unit()));
    } catch (const std::exception& error) {
        ui::showWarning(this, failure + toQString(error.what()));
    }
}

void MainWindow::mnuFetchFlightPlan_Click() {
    if (m_fetch != nullptr || !mayLeaveFocusFor(nullptr)) {
        return;
    }
    QString user = ui::readSetting(ui::kSimbriefUser);
    if (user.isEmpty()) {
        user = askSimbriefUser();
        if (user.isEmpty()) {
            return;
        }
    }
    try {
        m_fetch = ui::runInBackground<links::LinkAnswer>(
            *this,
            [user = user.toStdString(), bound = m_fetchBound](links::LinkControl& control) {
                return links::fetchLatestFlightPlan(user, bound, control);
            },
            [this, user](const links::LinkAnswer& outcome) { fetchFinished(user, outcome); });
    } catch (const std::system_error& failure) {
        fetchFinished(user, {.done = false, .text = failure.what()});
        return;
    }
    // Fetching again waits for this one; the busy pointer says that the window is at work.
    findChild<QAction*>(u"mnuFetchFlightPlan"_s)->setEnabled(false);
    showWhetherBusy();
}

void MainWindow::mnuSimbriefUser_Click() {
    askSimbriefUser();
}

// --- Units -------------------------------------------------------------------------------

void MainWindow::mnuPounds_Click() {
    chooseUnit(Unit::Pounds);
}

void MainWindow::mnuKilograms_Click() {
    chooseUnit(Unit::Kilograms);
}

// A cell that refuses its value keeps the focus and the unit it was typed in.
void MainWindow::chooseUnit(Unit unit) {
    if (!mayLeaveFocusFor(nullptr)) {
        setUnit(m_units->unit());
        return;
    }
    setUnit(unit);
    ui::writeSetting(ui::kWeightUnit, toQString(unitName(unit)));
}

QString MainWindow::askSimbriefUser() {
    const std::optional<QString> answer = ui::askForText(
        this, u"Your SimBrief user name or pilot ID:"_s, ui::readSetting(ui::kSimbriefUser));
    if (!answer) {
        return {};
    }
    ui::writeSetting(ui::kSimbriefUser, answer->trimmed());
    return answer->trimmed();
}

void MainWindow::stopFetch() {
    m_fetch.reset();
    findChild<QAction*>(u"mnuFetchFlightPlan"_s)->setEnabled(true);
    showWhetherBusy();
}

void MainWindow::fetchFinished(const QString& user, const links::LinkAnswer& outcome) {
    stopFetch();
    const QString whose =
        u"The latest flight plan of SimBrief user "_s + toQString(shownText(user.toStdString()));
    if (!outcome.done) {
        ui::showWarning(this, whose + u" was not fetched: "_s + toQString(outcome.text));
        return;
    }
    fillFromFlightPlan(
        [&outcome] { return flightplan::readFlightPlan(outcome.text, "SimBrief's answer"); },
        whose + u" filled:"_s, whose + u" was not read: "_s);
}

// --- X-Plane -----------------------------------------------------------------------------

void MainWindow::mnuLoadIntoXPlane_Click() {
    if (m_load != nullptr) {
        return;
    }
    const QString setting = ui::readSetting(ui::kXPlaneAddress);
    const std::optional<links::XPlaneAddress> address =
        links::parseXPlaneUrl(setting.toStdString());
    if (!address) {
        ui::showWarning(this, u"The plan was not loaded: "_s + notAnXPlaneAddress(setting) +
                                  u" Change it under Aircraft, X-Plane Address…"_s);
        return;
    }
    std::variant<links::XPlaneRequest, links::XPlaneRefused> request =
        links::xplaneRequestFor(*m_units, *address);
    if (const auto* refused = std::get_if<links::XPlaneRefused>(&request)) {
        showXPlaneOutcome(*refused);
        return;
    }
    try {
        m_load = ui::runInBackground<links::XPlaneOutcome>(
            *this,
            [request = std::get<links::XPlaneRequest>(std::move(request))](
                links::LinkControl& control) { return links::loadIntoXPlane(request, control); },
            [this](const links::XPlaneOutcome& outcome) { loadFinished(outcome); });
    } catch (const std::system_error& failure) {
        showXPlaneOutcome(
            links::XPlaneRefused{std::string("The plan was not loaded into X-Plane: ") +
                                 failure.what() + ". Close other programs, then load again."});
        return;
    }
    updateAircraftActions();
    showWhetherBusy();
}

void MainWindow::loadFinished(const links::XPlaneOutcome& outcome) {
    m_load.reset();
    updateAircraftActions();
    showWhetherBusy();
    if (isVisible()) {  // a pilot who has closed the window has left
        showXPlaneOutcome(outcome);
    }
}

// The one place where the outcome of a load becomes the words of its box.
void MainWindow::showXPlaneOutcome(const links::XPlaneOutcome& outcome) {
    const QString text =
        QString::fromStdString(links::describe(outcome, m_units->unit())).trimmed();
    if (std::holds_alternative<links::XPlaneLoaded>(outcome)) {
        ui::showSummary(this, text);
    } else {
        ui::showWarning(this, text);
    }
}

// The check window is made here, not before: the window's start-up does none of its work. The plan
// is read from the cells now, and kept.
void MainWindow::mnuFuelCheck_Click() {
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
    m_fuelCheck = new ui::FuelCheckWindow(
        FuelPlanLine::read(*m_units), m_units->unit(),
        origin.isEmpty() && destination.isEmpty() ? QString() : origin + u" → "_s + destination,
        this);
    m_fuelCheck->show();
}

// Asks until the answer is an address of X-Plane, offering the refused answer again to mend.
void MainWindow::mnuXPlaneAddress_Click() {
    QString offered = ui::readSetting(ui::kXPlaneAddress);
    while (const std::optional<QString> answer =
               ui::askForText(this,
                              u"X-Plane's address, http://host:port (X-Plane on this computer: "
                              "http://localhost:8086):"_s,
                              offered)) {
        offered = answer->trimmed();
        if (links::parseXPlaneUrl(offered.toStdString())) {
            ui::writeSetting(ui::kXPlaneAddress, offered);
            return;
        }
        ui::showWarning(this, notAnXPlaneAddress(offered));
    }
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
    return texts;
}

// The busy pointer while a fetch or a load is under way.
void MainWindow::showWhetherBusy() {
    if (m_fetch != nullptr || m_load != nullptr) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

void MainWindow::updateAircraftActions() {
    const bool calculated = m_calculatedInputs && *m_calculatedInputs == inputTexts();
    findChild<QAction*>(u"mnuLoadIntoXPlane"_s)->setEnabled(m_load == nullptr && calculated);
    findChild<QAction*>(u"mnuFuelCheck"_s)->setEnabled(calculated);
}

// A fetch, a load or a fuel check under way ends with the window, before the program does:
// stopped, it ends within a moment.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_fuelCheck != nullptr) {
        m_fuelCheck->close();
    }
    stopFetch();
    m_load.reset();
    updateAircraftActions();
    showWhetherBusy();
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
    if (event.type() == QEvent::Drop && mayLeaveFocusFor(nullptr)) {
        openFlightPlan(file);
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

void MainWindow::showPrintFailure(const PrintError& error) {
    ui::showWarning(this, QString::fromStdString(printFailureMessage(error)));
}

// --- Key filters and limit checks --------------------------------------------------------

void MainWindow::txtDestinationDistance_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtWindIntensity_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtPayLoad_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtContingencyTime_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtTFB_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtDestinationDistance_Validate(bool& Cancel) {
    checkLimit(cell::txtDestinationDistance, Cancel);
}

void MainWindow::txtWindIntensity_Validate(bool& Cancel) {
    checkLimit(cell::txtWindIntensity, Cancel);
}

void MainWindow::txtPayLoad_Validate(bool& Cancel) {
    checkLimit(cell::txtPayLoad, Cancel);
}

// An empty cell passes; a value above the limit, or pasted text that is not a whole number,
// shows the cell's warning and keeps the focus. The text stays as it is. A weight is judged by
// its pounds, which the pair it was converted by keeps (140912 lbs shows as 63917 kg), and
// refused with the warning of the unit shown.
void MainWindow::checkLimit(std::string_view cellName, bool& Cancel) {
    const auto rule = fieldLimit(cellName);
    if (rule && isRefused(*rule, m_units->text(cellName))) {
        ui::showWarning(this, toQString(fieldLimit(cellName, m_units->unit())->warning));
        Cancel = true;
    }
}

const MainWindow::CellHandlers* MainWindow::handlersOf(std::string_view cellName) {
    // The cell, its key filter, its validate handler.
    static constexpr std::array<CellHandlers, 5> kHandlers = {{
        {cell::txtDestinationDistance, &MainWindow::txtDestinationDistance_KeyPress,
         &MainWindow::txtDestinationDistance_Validate},
        {cell::txtWindIntensity, &MainWindow::txtWindIntensity_KeyPress,
         &MainWindow::txtWindIntensity_Validate},
        {cell::txtPayLoad, &MainWindow::txtPayLoad_KeyPress, &MainWindow::txtPayLoad_Validate},
        {cell::txtContingencyTime, &MainWindow::txtContingencyTime_KeyPress, nullptr},
        {cell::txtTFB, &MainWindow::txtTFB_KeyPress, nullptr},
    }};
    const auto* const found =
        std::find_if(kHandlers.begin(), kHandlers.end(),
                     [&](const CellHandlers& h) { return h.cell == cellName; });
    return found == kHandlers.end() ? nullptr : &*found;
}

// The validate event of the cell being left, for the cells that have a handler for it.
void MainWindow::validate(std::string_view cellName, bool& Cancel) {
    const CellHandlers* handlers = handlersOf(cellName);
    if (handlers != nullptr && handlers->validate != nullptr) {
        (this->*handlers->validate)(Cancel);
    }
}

bool MainWindow::mayLeaveFocusFor(const QWidget* target) {
    const QWidget* current = focusWidget();
    if (current == nullptr || current == target) {
        return true;
    }
    bool Cancel = false;
    validate(current->objectName().toStdString(), Cancel);
    return !Cancel;
}

bool MainWindow::filterTypedKey(QWidget& cell, QKeyEvent& event) {
    const CellHandlers* handlers = handlersOf(cell.objectName().toStdString());
    void (MainWindow::*handler)(std::int16_t&) = handlers != nullptr ? handlers->keyPress : nullptr;
    const QString typed = event.text();
    // Control-key combinations (copy, paste, select all...) reach the cell as control
    // characters; Control with Alt is how some keyboards type characters, so those are
    // filtered.
    const Qt::KeyboardModifiers chord =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (handler == nullptr || typed.isEmpty() || chord == Qt::ControlModifier ||
        chord == Qt::MetaModifier) {
        return false;
    }
    QString kept;
    for (const QChar character : typed) {
        // The Delete key types DEL (127) on the X11 desktop. It is an editing key, not a
        // character, and reaches the cell like Backspace.
        if (character.unicode() == 0x7f) {
            kept.append(character);
            continue;
        }
        // Character codes beyond the signed 16-bit range are no digits either.
        const auto code = std::min<int>(character.unicode(), 32767);
        auto KeyAscii = static_cast<std::int16_t>(code);
        (this->*handler)(KeyAscii);
        if (KeyAscii != 0) {
            kept.append(KeyAscii == code ? character : QChar(static_cast<char16_t>(KeyAscii)));
        }
    }
    if (kept == typed) {
        return false;
    }
    if (!kept.isEmpty()) {
        qobject_cast<QLineEdit*>(&cell)->insert(kept);
    }
    return true;
}

bool MainWindow::mayTakeClick(QWidget& clicked) {
    const QPointer<QWidget> cellLeft = std::exchange(m_cellLeftByClick, nullptr);
    if (cellLeft == nullptr || cellLeft == &clicked || focusWidget() != &clicked) {
        return true;
    }
    bool Cancel = false;
    validate(cellLeft->objectName().toStdString(), Cancel);
    if (Cancel && cellLeft != nullptr) {
        cellLeft->setFocus(Qt::OtherFocusReason);
    }
    return !Cancel;
}

bool MainWindow::pressButtonByAccessKey(QWidget& button) {
    if (mayLeaveFocusFor(&button)) {
        button.setFocus(Qt::ShortcutFocusReason);
        qobject_cast<QAbstractButton*>(&button)->click();
    }
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto& key = static_cast<QKeyEvent&>(*event);
            const bool focusKey = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
            if (focusKey && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                return !mayLeaveFocusFor(nullptr);
            }
            return filterTypedKey(*widget, key);
        }
        case QEvent::FocusOut:
            // A click gives the focus to the clicked control before the click reaches it; the
            // cell so left is checked when the click arrives.
            if (static_cast<QFocusEvent&>(*event).reason() == Qt::MouseFocusReason &&
                fieldLimit(widget->objectName().toStdString())) {
                m_cellLeftByClick = widget;
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return !mayTakeClick(*widget);
        case QEvent::Shortcut:
            if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
                return pressButtonByAccessKey(*widget);
            }
            return false;
        case QEvent::Wheel:
            return qobject_cast<QComboBox*>(widget) != nullptr && !widget->hasFocus();
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            // A file dropped on a cell is a flight plan to open, not a text to type.
            return takeDrop(*event);
        default:
            return QWidget::eventFilter(watched, event);
    }
}

}  // namespace brimwell
