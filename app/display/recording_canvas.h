// SPDX-License-Identifier: GPL-3.0-or-later
// The recording viewer's plot: value and time graduations as on the plot
// window, the dotted grid, and the traces of a whole recording drawn from its
// min/max summary. The mouse wheel zooms about the pointer (time; with Ctrl,
// values), dragging with the left button pans, dragging with the right
// button (or Shift and the left) draws the rectangle to zoom into.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

#include "common/colour_rules.h"
#include "display/recording_view.h"

struct RecordingData;

struct CanvasLook {
    ColourTable colours{};
    QString units;
    // The output column holds codes; times this gives units.
    float outputFactor = 1.0f;
    std::array<bool, 5> visible{true, true, true, true, true};
};

class RecordingCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit RecordingCanvas(QWidget* parent = nullptr);

    void setData(const RecordingData* data, const MinMaxSummary* summary);
    void setLook(const CanvasLook& look);
    const CanvasLook& look() const { return look_; }
    void setView(const ViewRange& view);
    const ViewRange& view() const { return view_; }
    // The trace area inside the widget, in pixels.
    QRect traceArea() const;
    // Draws the plot into a painter over a rectangle of that size.
    void paintPlot(QPainter& p, const QSize& size) const;

  signals:
    void viewChanged(const ViewRange& view);
    // The pointer over the trace area, in seconds and units; left: it went out.
    void pointerAt(double t, double y);
    void pointerLeft();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QRect traceAreaFor(const QSize& size) const;
    void drawTraces(QPainter& p, const QRect& area) const;

    const RecordingData* data_ = nullptr;
    const MinMaxSummary* summary_ = nullptr;
    CanvasLook look_;
    ViewRange view_;
    enum class Drag { None, Pan, Rect };
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragNow_;
    ViewRange dragView_;
};
