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

namespace {

constexpr double kPointRadius = 3.5;
constexpr int kGap = 6;  // pixels between a label and what it labels

// An axis from 0: its top and the step of its ticks, 1, 2 or 5 times a power of ten, about five
// ticks to the top. Below 10 the axis reaches 10, so that a step is a whole number.
struct Axis {
    double top = 10;
    double step = 2;
};

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

void FuelPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor back = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    painter.fillRect(rect(), back);

    const QList<QPointF> line = planLine();
    const QList<QPointF> readings = this->readings();
    const double reserves = this->reserves();
    double farthest = 0;
    double heaviest = reserves;
    for (const QList<QPointF>* points : {&line, &readings}) {
        for (const QPointF& point : *points) {
            farthest = std::max(farthest, point.x());
            heaviest = std::max(heaviest, point.y());
        }
    }
    const Axis across = axisFor(farthest);
    const Axis up = axisFor(heaviest);

    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    const int ticksAcross = static_cast<int>(std::lround(across.top / across.step));
    const int ticksUp = static_cast<int>(std::lround(up.top / up.step));
    int labelWidth = 0;
    for (int tick = 0; tick <= ticksUp; ++tick) {
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(numberText(tick * up.step)));
    }
    const double left = lineHeight + kGap + labelWidth + kGap;
    const double top = lineHeight + 2 * kGap;  // the key above the plot
    const double right = metrics.horizontalAdvance(numberText(across.top)) / 2.0 + kGap;
    const double bottom = 2 * lineHeight + 2 * kGap;
    const QRectF area(left, top, width() - left - right, height() - top - bottom);
    if (area.width() < 2 * kGap || area.height() < 2 * kGap) {
        return;
    }
    const auto place = [&](QPointF point) {
        return QPointF(area.left() + point.x() / across.top * area.width(),
                       area.bottom() - point.y() / up.top * area.height());
    };

    // Grid, ticks and their figures.
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    for (int tick = 0; tick <= ticksAcross; ++tick) {
        const double x = place({tick * across.step, 0}).x();
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    for (int tick = 0; tick <= ticksUp; ++tick) {
        const double y = place({0, tick * up.step}).y();
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    painter.setPen(ink);
    for (int tick = 0; tick <= ticksAcross; ++tick) {
        const QString figure = numberText(tick * across.step);
        const double x = place({tick * across.step, 0}).x();
        painter.drawText(QRectF(x - 100, area.bottom() + kGap / 2.0, 200, lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop, figure);
    }
    for (int tick = 0; tick <= ticksUp; ++tick) {
        const double y = place({0, tick * up.step}).y();
        painter.drawText(
            QRectF(area.left() - kGap - labelWidth, y - lineHeight / 2.0, labelWidth, lineHeight),
            Qt::AlignRight | Qt::AlignVCenter, numberText(tick * up.step));
    }
    painter.drawRect(area);

    // The axes' names, the weight's written up the left edge.
    const QString weightName = u"Fuel on board ("_s + toQString(unitName(m_unit)) + u')';
    painter.drawText(
        QRectF(area.left(), height() - lineHeight - kGap / 2.0, area.width(), lineHeight),
        Qt::AlignHCenter, u"Distance flown (nm)"_s);
    painter.save();
    painter.translate(kGap / 2.0, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, 0, area.height(), lineHeight), Qt::AlignHCenter,
                     weightName);
    painter.restore();

    // The figures, clipped to the plot.
    const QColor planColour = legibleOn(QColor(0, 84, 166), back);
    const QColor reservesColour = legibleOn(QColor(192, 0, 0), back);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    painter.setClipRect(area.adjusted(-kPointRadius, -kPointRadius, kPointRadius, kPointRadius));
    const double reservesY = place({0, reserves}).y();
    painter.setPen(QPen(reservesColour, 1.5, Qt::DashLine));
    painter.drawLine(QPointF(area.left(), reservesY), QPointF(area.right(), reservesY));
    QPolygonF planned;
    for (const QPointF& point : line) {
        planned.append(place(point));
    }
    painter.setPen(QPen(planColour, 2));
    if (planned.size() == 1) {
        painter.drawEllipse(planned.first(), kPointRadius, kPointRadius);
    }
    painter.drawPolyline(planned);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (const QPointF& point : readings) {
        painter.drawEllipse(place(point), kPointRadius, kPointRadius);
    }
    painter.restore();

    // The key, above the plot.
    const double keyY = kGap + lineHeight / 2.0;
    double keyX = area.left();
    const auto keyEntry = [&](const QString& words, const auto& drawSample) {
        drawSample(QPointF(keyX, keyY));
        keyX += 24;
        painter.setPen(ink);
        painter.drawText(QRectF(keyX, kGap, metrics.horizontalAdvance(words) + 1, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, words);
        keyX += metrics.horizontalAdvance(words) + 3 * kGap;
    };
    keyEntry(u"plan"_s, [&](QPointF at) {
        painter.setPen(QPen(planColour, 2));
        painter.drawLine(at, at + QPointF(18, 0));
    });
    keyEntry(u"readings"_s, [&](QPointF at) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(at + QPointF(9, 0), kPointRadius, kPointRadius);
    });
    keyEntry(u"reserves"_s, [&](QPointF at) {
        painter.setPen(QPen(reservesColour, 1.5, Qt::DashLine));
        painter.drawLine(at, at + QPointF(18, 0));
    });
}

}  // namespace brimwell::ui
