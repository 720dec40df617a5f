#include "ui/fuel_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/fuel_check.h"
#include "ui/colour_contrast.h"
#include "ui/qt_text.h"

using namespace Qt::StringLiterals;

namespace brimwell::ui {

using engine::Unit;
using engine::unitName;
using engine::weightIn;

// An axis from 0: its top and the step of its ticks, 1, 2 or 5 times a power of ten, about five
// ticks to the top. Below 10 the axis reaches 10, so that a step is a whole number. Outside the
// unnamed namespace, as FuelPlot::Frame holds it.
struct PlotAxis {
    double top = 10;
    double step = 2;
};

namespace {

using Axis = PlotAxis;

constexpr double kPointRadius = 3.5;
constexpr int kGap = 6;  // pixels between a label and what it labels

Axis axisFor(double largest) {
    largest = std::max(largest, 10.0);
    const double rough = largest / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * magnitude;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= rough) {
            step = factor * magnitude;
            break;
        }
    }
    return {std::ceil(largest / step) * step, step};
}

QString numberText(double value) {
    return QString::number(value, 'f', 0);
}

// The pens of the plan's line and of the reserves, each legible on the background.
QPen planPen(const QColor& back) {
    return {legibleOn(QColor(0, 84, 166), back), 2};
}

QPen reservesPen(const QColor& back) {
    return {legibleOn(QColor(192, 0, 0), back), 1.5, Qt::DashLine};
}

}  // namespace

FuelPlot::FuelPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FuelPlot::setPlan(QList<QPointF> line, double reservesLbs) {
    m_line = std::move(line);
    m_reserves = reservesLbs;
    update();
}

void FuelPlot::addReading(QPointF reading) {
    if (!m_readings.isEmpty() && m_readings.last().x() == reading.x()) {
        m_readings.last() = reading;
    } else {
        if (m_readings.size() == kMostReadings) {
            m_readings.removeFirst();
        }
        m_readings.append(reading);
    }
    update();
}

void FuelPlot::addFix(double distanceNm, QString ident) {
    m_fixes.append({distanceNm, std::move(ident)});
    update();
}

void FuelPlot::setUnit(Unit unit) {
    m_unit = unit;
    update();
}

QList<QPointF> FuelPlot::inUnit(const QList<QPointF>& points) const {
    QList<QPointF> converted;
    converted.reserve(points.size());
    for (const QPointF& point : points) {
        converted.append({point.x(), weightIn(point.y(), m_unit)});
    }
    return converted;
}

QList<QPointF> FuelPlot::planLine() const {
    return inUnit(m_line);
}

QList<QPointF> FuelPlot::readings() const {
    return inUnit(m_readings);
}

double FuelPlot::reserves() const {
    return weightIn(m_reserves, m_unit);
}

QSize FuelPlot::sizeHint() const {
    return {520, 300};
}

QSize FuelPlot::minimumSizeHint() const {
    return {300, 180};
}

// The axes run from 0 to their tops; a point (nm, weight) stands at place(point) in the widget.
struct FuelPlot::Frame {
    PlotAxis across;
    PlotAxis up;
    int ticksAcross = 0;
    int ticksUp = 0;
    int labelWidth = 0;  // of the widest figure up the left
    int lineHeight = 0;
    QRectF area;  // the plot within its frame of figures, names and key

    QPointF place(QPointF point) const {
        return {area.left() + point.x() / across.top * area.width(),
                area.bottom() - point.y() / up.top * area.height()};
    }
};

FuelPlot::Frame FuelPlot::frameFor(const QList<QPointF>& line, const QList<QPointF>& readings,
                                   double reserves) const {
    double farthest = 0;
    double heaviest = reserves;
    for (const QList<QPointF>* points : {&line, &readings}) {
        for (const QPointF& point : *points) {
            farthest = std::max(farthest, point.x());
            heaviest = std::max(heaviest, point.y());
        }
    }
    Frame frame;
    const Axis across = frame.across = axisFor(farthest);
    const Axis up = frame.up = axisFor(heaviest);

    const QFontMetrics metrics(font());
    frame.lineHeight = metrics.height();
    frame.ticksAcross = static_cast<int>(std::lround(across.top / across.step));
    frame.ticksUp = static_cast<int>(std::lround(up.top / up.step));
    for (int tick = 0; tick <= frame.ticksUp; ++tick) {
        frame.labelWidth =
            std::max(frame.labelWidth, metrics.horizontalAdvance(numberText(tick * up.step)));
    }
    const double left = frame.lineHeight + kGap + frame.labelWidth + kGap;
    const double top = frame.lineHeight + 2 * kGap;  // the key above the plot
    const double right = metrics.horizontalAdvance(numberText(across.top)) / 2.0 + kGap;
    const double bottom = 2 * frame.lineHeight + 2 * kGap;
    frame.area = QRectF(left, top, width() - left - right, height() - top - bottom);
    return frame;
}

void FuelPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QList<QPointF> line = planLine();
    const QList<QPointF> readings = this->readings();
    const double reserves = this->reserves();
    const Frame frame = frameFor(line, readings, reserves);
    if (frame.area.width() < 2 * kGap || frame.area.height() < 2 * kGap) {
        return;
    }
    paintGrid(painter, frame);
    paintAxes(painter, frame);
    paintFixes(painter, frame);
    painter.setRenderHint(QPainter::Antialiasing);  // the figures and the key, not the grid
    paintSeries(painter, frame, line, readings, reserves);
    paintKey(painter, frame);
}

void FuelPlot::paintGrid(QPainter& painter, const Frame& frame) const {
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    for (int tick = 0; tick <= frame.ticksAcross; ++tick) {
        const double x = frame.place({tick * frame.across.step, 0}).x();
        painter.drawLine(QPointF(x, frame.area.top()), QPointF(x, frame.area.bottom()));
    }
    for (int tick = 0; tick <= frame.ticksUp; ++tick) {
        const double y = frame.place({0, tick * frame.up.step}).y();
        painter.drawLine(QPointF(frame.area.left(), y), QPointF(frame.area.right(), y));
    }
}

// The ticks' figures, the plot's edge and the axes' names, the weight's up the left edge.
void FuelPlot::paintAxes(QPainter& painter, const Frame& frame) const {
    const QRectF& area = frame.area;
    const int lineHeight = frame.lineHeight;
    painter.setPen(palette().color(QPalette::Text));
    for (int tick = 0; tick <= frame.ticksAcross; ++tick) {
        const double x = frame.place({tick * frame.across.step, 0}).x();
        painter.drawText(QRectF(x - 100, area.bottom() + kGap / 2.0, 200, lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop, numberText(tick * frame.across.step));
    }
    for (int tick = 0; tick <= frame.ticksUp; ++tick) {
        const double y = frame.place({0, tick * frame.up.step}).y();
        painter.drawText(QRectF(area.left() - kGap - frame.labelWidth, y - lineHeight / 2.0,
                                frame.labelWidth, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, numberText(tick * frame.up.step));
    }
    painter.drawRect(area);

    painter.drawText(
        QRectF(area.left(), height() - lineHeight - kGap / 2.0, area.width(), lineHeight),
        Qt::AlignHCenter, u"Distance flown (nm)"_s);
    painter.save();
    painter.translate(kGap / 2.0, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, 0, area.height(), lineHeight), Qt::AlignHCenter,
                     u"Fuel on board ("_s + toQString(unitName(m_unit)) + u')');
    painter.restore();
}

// A tick up from the distance axis at each fix passed, and its name above where it has room: right
// of the last name written.
void FuelPlot::paintFixes(QPainter& painter, const Frame& frame) const {
    const QFontMetrics metrics(font());
    const QColor ink = palette().color(QPalette::Text);
    painter.save();
    painter.setClipRect(frame.area);
    double free = frame.area.left();
    for (const FixMark& fix : m_fixes) {
        const double x = frame.place({fix.distanceNm, 0}).x();
        painter.setPen(QPen(ink, 1.5));
        painter.drawLine(QPointF(x, frame.area.bottom()), QPointF(x, frame.area.bottom() - kGap));
        const int wide = metrics.horizontalAdvance(fix.ident);
        if (x - wide / 2.0 >= free && x + wide / 2.0 <= frame.area.right()) {
            painter.drawText(QRectF(x - wide / 2.0, frame.area.bottom() - kGap - frame.lineHeight,
                                    wide + 1, frame.lineHeight),
                             Qt::AlignHCenter | Qt::AlignBottom, fix.ident);
            free = x + wide / 2.0 + kGap;
        }
    }
    painter.restore();
}

// The reserves, the plan's line and the readings, clipped to the plot.
void FuelPlot::paintSeries(QPainter& painter, const Frame& frame, const QList<QPointF>& line,
                           const QList<QPointF>& readings, double reserves) const {
    const QColor back = palette().color(QPalette::Base);
    painter.save();
    painter.setClipRect(
        frame.area.adjusted(-kPointRadius, -kPointRadius, kPointRadius, kPointRadius));
    const double reservesY = frame.place({0, reserves}).y();
    painter.setPen(reservesPen(back));
    painter.drawLine(QPointF(frame.area.left(), reservesY), QPointF(frame.area.right(), reservesY));
    QPolygonF planned;
    for (const QPointF& point : line) {
        planned.append(frame.place(point));
    }
    painter.setPen(planPen(back));
    if (planned.size() == 1) {
        painter.drawEllipse(planned.first(), kPointRadius, kPointRadius);
    }
    painter.drawPolyline(planned);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Text));
    for (const QPointF& point : readings) {
        painter.drawEllipse(frame.place(point), kPointRadius, kPointRadius);
    }
    painter.restore();
}

// The key, above the plot: a sample of each series and its name.
void FuelPlot::paintKey(QPainter& painter, const Frame& frame) const {
    const QColor back = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    const QFontMetrics metrics(font());
    const double keyY = kGap + frame.lineHeight / 2.0;
    double keyX = frame.area.left();
    const auto keyEntry = [&](const QString& words, const auto& drawSample) {
        drawSample(QPointF(keyX, keyY));
        keyX += 24;
        painter.setPen(ink);
        painter.drawText(QRectF(keyX, kGap, metrics.horizontalAdvance(words) + 1, frame.lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, words);
        keyX += metrics.horizontalAdvance(words) + 3 * kGap;
    };
    keyEntry(u"plan"_s, [&](QPointF at) {
        painter.setPen(planPen(back));
        painter.drawLine(at, at + QPointF(18, 0));
    });
    keyEntry(u"readings"_s, [&](QPointF at) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(at + QPointF(9, 0), kPointRadius, kPointRadius);
    });
    keyEntry(u"reserves"_s, [&](QPointF at) {
        painter.setPen(reservesPen(back));
        painter.drawLine(at, at + QPointF(18, 0));
    });
}

}  // namespace brimwell::ui
