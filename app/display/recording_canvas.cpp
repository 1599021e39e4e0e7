// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/recording_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

#include "common/numbers.h"
#include "common/recording_file.h"
#include "display/graduations.h"
#include "widgets/colours.h"

namespace {

// Room for the value labels at the left and the time labels below, as the
// plot window's strips.
constexpr int kLeftStrip = 64;
constexpr int kBottomStrip = 22;
constexpr int kMargin = 8;
constexpr int32_t kStripGrey = 0xC0C0C0;

// Marks far outside the area are pulled in, so a deep zoom never hands the
// painter absurd numbers.
double clampPx(double v) {
    return std::isfinite(v) ? std::clamp(v, -1e6, 1e6) : 0.0;
}

}  // namespace

RecordingCanvas::RecordingCanvas(QWidget* parent) : QWidget(parent) {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    setFont(f);
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RecordingCanvas::setData(const RecordingData* data, const MinMaxSummary* summary) {
    data_ = data;
    summary_ = summary;
    update();
}

void RecordingCanvas::setLook(const CanvasLook& look) {
    look_ = look;
    update();
}

void RecordingCanvas::setView(const ViewRange& view) {
    view_ = view;
    update();
    emit viewChanged(view_);
}

QRect RecordingCanvas::traceAreaFor(const QSize& size) const {
    return QRect(kLeftStrip, kMargin, std::max(2, size.width() - kLeftStrip - kMargin),
                 std::max(2, size.height() - kMargin - kBottomStrip));
}

QRect RecordingCanvas::traceArea() const {
    return traceAreaFor(size());
}

void RecordingCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintPlot(p, size());
}

void RecordingCanvas::paintPlot(QPainter& p, const QSize& size) const {
    const QRect area = traceAreaFor(size);
    const int w = area.width(), h = area.height();
    p.fillRect(QRect(QPoint(0, 0), size), toQColor(kStripGrey));
    p.fillRect(area, toQColor(look_.colours[5][1]));

    // Grid: dotted, at the tenths of both axes, in the grid colour.
    const QColor gridColour = toQColor(look_.colours[5][2]);
    p.save();
    p.setClipRect(area);
    p.setPen(QPen(gridColour, 1, Qt::DotLine));
    for (int i = 0; i < 10; ++i) {
        const int y = area.top() + int(std::lround((h - 1) * (1.0 - i / 10.0)));
        p.drawLine(area.left(), y, area.right(), y);
    }
    for (int i = 1; i < 10; ++i) {
        const int x = area.left() + int(std::lround((w - 1) * (i / 10.0)));
        p.drawLine(x, area.top(), x, area.bottom());
    }
    drawTraces(p, area);
    if (drag_ == Drag::Rect) {
        p.setPen(QPen(gridColour, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(dragStart_, dragNow_).normalized());
    }
    p.restore();

    // Value labels as the plot window places them, in value units.
    const QFontMetricsF fm(font());
    p.setFont(font());
    p.setPen(Qt::black);
    const double unitsPerPx = (view_.y1 - view_.y0) / std::max(1, h - 1);
    const auto widthInPx = [&fm](const QString& t) { return float(fm.horizontalAdvance(t)); };
    const float halfText = float(fm.height() / 2.0 * unitsPerPx);
    const std::vector<PlacedText> values = valueAxisLabels(
        float(view_.y0), float(view_.y1), look_.units, float(kLeftStrip - 4), halfText, widthInPx);
    for (const PlacedText& t : values) {
        const double top = area.top() + pixelOfValue(view_, t.y, h);
        p.drawText(QPointF(t.x, clampPx(top) + fm.ascent()), t.text);
    }
    // Time labels: centred on their tick, the first one starting right of
    // the edge, " seg." ending at the right edge.
    const double baseline = area.bottom() + 4 + fm.ascent();
    for (const TimeTick& tick : timeTicks(view_)) {
        const double x = area.left() + pixelOfTime(view_, tick.t, w);
        const double half = fm.horizontalAdvance(tick.text) / 2.0;
        const double left = tick.t == view_.t0 ? x + 2 : x - half;
        p.drawText(QPointF(left, baseline), tick.text);
    }
    const QString seg = QStringLiteral(" seg.");
    p.drawText(QPointF(area.right() - fm.horizontalAdvance(seg), baseline), seg);
}

void RecordingCanvas::drawTraces(QPainter& p, const QRect& area) const {
    if (!data_ || !summary_ || data_->size() == 0) return;
    const int w = area.width(), h = area.height();
    for (int c = 0; c < 5; ++c) {
        if (!look_.visible[static_cast<size_t>(c)]) continue;
        const float factor = c == 4 ? look_.outputFactor : 1.0f;
        p.setPen(QPen(toQColor(look_.colours[static_cast<size_t>(c)][1]), 1));
        const TraceMarks m = traceMarks(*data_, *summary_, c, view_, w);
        const auto py = [&](float v) {
            return area.top() + clampPx(pixelOfValue(view_, double(v) * factor, h));
        };
        if (!m.points.empty()) {
            QPolygonF line;
            line.reserve(qsizetype(m.points.size()));
            for (const auto& [t, v] : m.points) {
                line << QPointF(area.left() + clampPx(pixelOfTime(view_, t, w)), py(v));
            }
            if (line.size() == 1) {
                p.drawPoint(line.front());
            } else {
                p.drawPolyline(line);
            }
        }
        // One call for all the columns: painting line by line costs more
        // than working them out.
        QList<QLine> lines;
        lines.reserve(qsizetype(m.spans.size()));
        for (const ColumnSpan& s : m.spans) {
            const int x = area.left() + s.x;
            lines.append(QLine(x, int(std::lround(py(s.low))), x, int(std::lround(py(s.high)))));
        }
        if (!lines.isEmpty()) p.drawLines(lines);
    }
}

void RecordingCanvas::wheelEvent(QWheelEvent* event) {
    const QRect area = traceArea();
    const QPointF at = event->position() - QPointF(area.topLeft());
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0) return;
    const double factor = std::pow(0.8, steps);
    const double t = timeAtPixel(view_, at.x(), area.width());
    const double y = valueAtPixel(view_, at.y(), area.height());
    const bool values = event->modifiers() & Qt::ControlModifier;
    setView(zoomAbout(view_, t, y, values ? 1.0 : factor, values ? factor : 1.0));
    event->accept();
}

void RecordingCanvas::mousePressEvent(QMouseEvent* event) {
    const bool rect =
        event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (rect) {
        drag_ = Drag::Rect;
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Pan;
    } else {
        return;
    }
    dragStart_ = dragNow_ = event->position().toPoint();
    dragView_ = view_;
}

void RecordingCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QRect area = traceArea();
    if (drag_ == Drag::Pan) {
        const QPoint d = pos - dragStart_;
        setView(panByPixels(dragView_, d.x(), d.y(), area.width(), area.height()));
    } else if (drag_ == Drag::Rect) {
        dragNow_ = pos;
        update();
    }
    if (area.contains(pos)) {
        emit pointerAt(timeAtPixel(view_, pos.x() - area.left(), area.width()),
                       valueAtPixel(view_, pos.y() - area.top(), area.height()));
    } else {
        emit pointerLeft();
    }
}

void RecordingCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ == Drag::Rect) {
        drag_ = Drag::None;
        const QRect area = traceArea();
        const QPoint a = dragStart_ - area.topLeft(),
                     b = event->position().toPoint() - area.topLeft();
        // A click without a drag zooms nowhere.
        if ((a - b).manhattanLength() >= 4) {
            setView(zoomToRect(timeAtPixel(view_, a.x(), area.width()),
                               valueAtPixel(view_, a.y(), area.height()),
                               timeAtPixel(view_, b.x(), area.width()),
                               valueAtPixel(view_, b.y(), area.height())));
        }
        update();
        return;
    }
    drag_ = Drag::None;
}

void RecordingCanvas::leaveEvent(QEvent*) {
    emit pointerLeft();
}
