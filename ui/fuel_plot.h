#pragma once

// The fuel check's picture: fuel on board against the distance flown. The plan's line runs from
// the takeoff fuel at 0 nm to the planned landing fuel at the destination, the readings so far
// are points, the reserves a level dashed line, and the fixes passed marks on the distance axis,
// named where there is room; the axes are in nm and in the unit of weight shown, from 0. Painted
// with QPainter on the palette's base colour, each colour kept at 4.5:1 against it in any colour
// scheme (ui/window_controls.h).
//
// The plot keeps its figures in pounds, as the check works them out, and gives them in the unit
// shown: what it holds is read in data coordinates (nm, weight), never in pixels.

#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include "engine/units.h"

class QPainter;

namespace brimwell::ui {

class FuelPlot final : public QWidget {
    Q_OBJECT

  public:
    // The most readings kept; beyond it the oldest go. One a nm flown, or more than a day at one
    // every 5 seconds.
    static constexpr qsizetype kMostReadings = 20000;

    explicit FuelPlot(QWidget* parent = nullptr);

    // The plan's line, points of (nm, lbs) by distance, and the reserves in lbs.
    void setPlan(QList<QPointF> line, double reservesLbs);
    // One more reading (nm, lbs). A reading at the distance of the last one replaces it: the
    // aircraft has not moved on, and the newer fuel is the one that counts there.
    void addReading(QPointF reading);
    // A fix passed, at its distance along the route; as many as the route has.
    void addFix(double distanceNm, QString ident);
    void setUnit(engine::Unit unit);

    struct FixMark {
        double distanceNm = 0;
        QString ident;
        friend bool operator==(const FixMark&, const FixMark&) = default;
    };
    QList<FixMark> fixes() const { return m_fixes; }
    // In the unit shown: (nm, weight).
    QList<QPointF> planLine() const;
    QList<QPointF> readings() const;
    double reserves() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Where the plot stands in the widget and what its axes reach, worked out for each paint.
    struct Frame;

    QList<QPointF> inUnit(const QList<QPointF>& points) const;
    Frame frameFor(const QList<QPointF>& line, const QList<QPointF>& readings,
                   double reserves) const;
    void paintGrid(QPainter& painter, const Frame& frame) const;
    void paintAxes(QPainter& painter, const Frame& frame) const;
    void paintSeries(QPainter& painter, const Frame& frame, const QList<QPointF>& line,
                     const QList<QPointF>& readings, double reserves) const;
    void paintKey(QPainter& painter, const Frame& frame) const;
    void paintFixes(QPainter& painter, const Frame& frame) const;

    QList<QPointF> m_line;      // (nm, lbs)
    QList<QPointF> m_readings;  // (nm, lbs)
    QList<FixMark> m_fixes;
    double m_reserves = 0;  // lbs
    engine::Unit m_unit = engine::Unit::Pounds;
};

}  // namespace brimwell::ui
