#include "ui/flights_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <fstream>

#include "engine/fuel_planner.h"
#include "engine/number_text.h"
#include "flightlog/flight_log.h"
#include "flightlog/fuel_factor.h"
#include "ui/control_names.h"
#include "ui/dialogs.h"
#include "ui/fuel_check_window.h"
#include "ui/qt_text.h"
#include "ui/window_cells.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

namespace {

// The list's columns; the weights' captions take the unit.
enum Column { Date, Route, Planned, Burnt, Factor, Landing, PlannedLanding, State, ColumnCount };
constexpr std::array<const char*, ColumnCount> kCaptions = {
    "Date (UTC)",  "Flight",       "Planned burn",    "Trip burn",
    "Burn factor", "Landing fuel", "Planned landing", "State",
};

QPushButton* button(const QString& caption, std::string_view name, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(toQString(name));
    return made;
}

}  // namespace

FlightsWindow::FlightsWindow(engine::Unit unit, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_unit(unit),
      m_log(std::make_unique<flightlog::FlightLog>()),
      m_list(new QTableWidget(0, ColumnCount, this)),
      m_factor(new QLabel(this)),
      m_notice(new QLabel(toQString(m_log->notice()), this)) {
    setObjectName(toQString(control::frmFlights));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Flights"_s);
    auto* layout = new QVBoxLayout(this);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setWordWrap(true);
    m_notice->setVisible(!m_log->notice().empty());
    layout->addWidget(m_notice);
    m_list->setObjectName(toQString(control::flightList));
    m_list->setAccessibleName(u"Flights"_s);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);
    m_factor->setObjectName(toQString(control::fuelFactorNote));
    m_factor->setTextFormat(Qt::PlainText);
    m_factor->setWordWrap(true);
    layout->addWidget(m_factor);
    auto* buttons = new QHBoxLayout;
    QPushButton* open = button(u"&Open"_s, control::cmdOpenFlight, this);
    QPushButton* remove = button(u"&Delete…"_s, control::cmdDeleteFlight, this);
    QPushButton* save = button(u"&Export CSV…"_s, control::cmdExportFlights, this);
    buttons->addWidget(open);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(save);
    layout->addLayout(buttons);
    connect(open, &QPushButton::clicked, this, &FlightsWindow::openFlight);
    connect(remove, &QPushButton::clicked, this, &FlightsWindow::deleteFlight);
    connect(save, &QPushButton::clicked, this, &FlightsWindow::exportList);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &FlightsWindow::openFlight);
    remove->setEnabled(m_log->writable());
    refresh();
    resize(widthOfEveryColumn(), 420);
}

// As wide as the list's columns and its frame, within the screen's width.
int FlightsWindow::widthOfEveryColumn() const {
    int width = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    const QAbstractItemView& view = *m_list;  // where the column's hint is public
    const QHeaderView& header = *m_list->horizontalHeader();
    for (int column = 0; column < ColumnCount; ++column) {
        // The last column, stretched, is never narrower than the header's default section.
        const int least = column + 1 == ColumnCount ? header.defaultSectionSize() : 0;
        width += std::max({view.sizeHintForColumn(column), header.sectionSizeHint(column), least});
    }
    const QMargins margins = layout()->contentsMargins();
    width += margins.left() + margins.right();
    const QScreen* screen = this->screen();
    return std::min(std::max(width, 760),
                    screen != nullptr ? screen->availableSize().width() : width);
}

FlightsWindow::~FlightsWindow() = default;

void FlightsWindow::setUnit(engine::Unit unit) {
    m_unit = unit;
    refresh();
}

void FlightsWindow::refresh() {
    const QString unitName = toQString(engine::unitName(m_unit));
    QStringList captions;
    for (int column = 0; column < ColumnCount; ++column) {
        const bool weight = column == Planned || column == Burnt || column >= Landing;
        captions.append(QString::fromUtf8(kCaptions.at(column)) +
                        (weight && column != State ? u" ("_s + unitName + u')' : QString()));
    }
    m_list->setHorizontalHeaderLabels(captions);
    const auto list = m_log->flights();
    const auto weight = [this](std::optional<double> pounds) {
        return pounds ? toQString(engine::toText(engine::weightIn(*pounds, m_unit))) : u"–"_s;
    };
    m_list->setRowCount(static_cast<int>(list.flights.size()));
    int row = 0;
    for (const auto& flight : list.flights) {
        const std::array<QString, ColumnCount> texts = {
            QDateTime::fromSecsSinceEpoch(static_cast<qint64>(flight.takeoffTime), QTimeZone::utc())
                .toString(u"yyyy-MM-dd hh:mm"_s),
            toQString(flight.origin) + u" → "_s + toQString(flight.destination),
            weight(flight.plannedTripBurn),
            weight(flight.tripBurn),
            flight.burnFactor ? QString::number(*flight.burnFactor, 'f', 3) : u"–"_s,
            weight(flight.landed ? std::optional(flight.lastFuel) : std::nullopt),
            weight(flight.plannedLandingFuel),
            flight.landed ? u"landed"_s : u"unfinished"_s,
        };
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            item->setData(Qt::UserRole, QVariant::fromValue(static_cast<qlonglong>(flight.id)));
            if (column != Route && column != State && column != Date) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_list->setItem(row, column, item);
        }
        ++row;
    }
    if (!list.flights.empty()) {
        m_list->selectRow(0);
    }
    const auto factor = flightlog::learntFuelFactor(list);
    QString text = factor ? toQString(flightlog::factorSentence(*factor)) + u'.'
                          : u"no fuel factor yet: it is learnt from 3 landed flights or more."_s;
    text[0] = text[0].toUpper();
    if (list.leftOut > 0) {
        text += u" %1 left out: a figure out of its range."_s.arg(
            list.leftOut == 1 ? u"1 flight"_s : u"%1 flights"_s.arg(list.leftOut));
    }
    m_factor->setText(text);
}

std::int64_t FlightsWindow::chosenFlight() const {
    const auto* item = m_list->item(m_list->currentRow(), 0);
    return item == nullptr ? 0 : item->data(Qt::UserRole).toLongLong();
}

void FlightsWindow::openFlight() {
    const auto id = chosenFlight();
    const auto kept = id > 0 ? m_log->flight(id) : std::nullopt;
    if (!kept) {
        if (id > 0) {
            showWarning(this, u"The flight cannot be shown: "_s + toQString(m_log->problem()));
        }
        return;
    }
    auto* shown = new FuelCheckWindow(*kept, m_unit, this);
    shown->show();
}

void FlightsWindow::deleteFlight() {
    const int row = m_list->currentRow();
    const auto id = chosenFlight();
    if (id <= 0 || !askToConfirm(this, u"Delete the flight %1 of %2 from the log?"_s.arg(
                                           m_list->item(row, Route)->text(),
                                           m_list->item(row, Date)->text()))) {
        return;
    }
    if (!m_log->remove(id)) {
        showWarning(this, u"The flight was not deleted: "_s + toQString(m_log->problem()));
    }
    refresh();
}

void FlightsWindow::exportList() {
    const QString file =
        chooseFileToSave(this, u"Export the flights as CSV"_s, u"CSV files (*.csv)"_s);
    if (file.isEmpty()) {
        return;
    }
    std::ofstream out(file.toStdString(), std::ios::binary | std::ios::trunc);
    out << flightlog::flightsCsv(m_log->flights());
    if (!out.flush()) {
        showWarning(this, u"The flights were not exported: %1 cannot be written."_s.arg(file));
    }
}

}  // namespace brimwell::ui
