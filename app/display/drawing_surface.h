// SPDX-License-Identifier: GPL-3.0-or-later
// A picture area: a widget with its own user coordinate system, persistent
// drawing in a backing image, lines (solid or dotted), points and text at a
// current point, with text metrics in user units.
//
// Coordinates: left, top, width, height of the user scale map onto the
// widget's pixels; a negative height makes y grow upward. An axis whose scale
// was never set counts in twips from the top-left corner and follows the
// widget's size; an axis that was set keeps its numbers when the widget is
// resized (the drawing stretches).
//
// Persistence: with persistent drawing on, marks go into a backing image and
// survive repaints; with it off, marks are shown but are lost at the next
// resize, show or clear (the persistent image shows through again).
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <optional>

class DrawingSurface : public QWidget {
    Q_OBJECT
  public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    // User scale; (x1, y1) is the top-left corner, (x2, y2) the bottom-right.
    void setScale(float x1, float y1, float x2, float y2);
    void setScaleLeft(float v);
    void setScaleTop(float v);
    void setScaleWidth(float v);
    void setScaleHeight(float v);
    // Back to twips from the top-left corner on both axes.
    void resetScale();
    float scaleLeft() const;
    float scaleTop() const;
    float scaleWidth() const;
    float scaleHeight() const;

    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    bool autoRedraw() const { return autoRedraw_; }

    // Clears to the back colour; the current point goes to the top-left.
    void cls();
    // Draws a line in the given colour; the current point moves to (x2, y2).
    void line(float x1, float y1, float x2, float y2, int32_t colour);
    // A line from the current point.
    void lineTo(float x2, float y2, int32_t colour);
    // The same in the fore colour.
    void line(float x1, float y1, float x2, float y2) { line(x1, y1, x2, y2, foreColor_); }
    void lineTo(float x2, float y2) { lineTo(x2, y2, foreColor_); }
    void pset(float x, float y, int32_t colour);
    void setDotted(bool dotted) { dotted_ = dotted; }
    bool dotted() const { return dotted_; }

    float currentX = 0.0f;
    float currentY = 0.0f;

    // Text with its top-left corner at the current point, in the fore colour
    // and the widget's font; afterwards the current point is at the start of
    // the next line.
    void print(const QString& text);
    float textWidth(const QString& text) const;
    // Negative on an upward scale.
    float textHeight(const QString& text) const;

    // A new back colour clears everything, as a freshly painted area.
    void setBackColor(int32_t colour);
    void setForeColor(int32_t colour) { foreColor_ = colour; }
    int32_t backColor() const { return backColor_; }
    int32_t foreColor() const { return foreColor_; }

    // Pixel <-> user unit conversions; the scale's edges fall on the first
    // and the last pixel.
    double toPixelX(double x) const;
    double toPixelY(double y) const;
    float toUserX(double px) const;
    float toUserY(double py) const;

    // What is on screen, and what survives a repaint.
    const QImage& shownImage() const;
    const QImage& persistentImage() const;

  signals:
    // Mouse events with the position in user units.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons buttons, float x, float y);
    void mouseMoved(Qt::MouseButtons buttons, float x, float y);
    void mouseReleased(Qt::MouseButton button, Qt::MouseButtons buttons, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Axis {
        std::optional<float> origin;
        std::optional<float> extent;
    };
    float origin(const Axis& a) const;
    float extent(const Axis& a, bool horizontal) const;
    int spanX() const;
    int spanY() const;
    // Brings the images to the widget's size (lazily: hidden widgets get no
    // resize events).
    void ensureImages() const;
    // Runs the painter on the images the current mode draws into, then
    // schedules a repaint of the touched rectangle.
    template <typename Fn>
    void drawWith(const QRect& touched, Fn fn);

    Axis h_, v_;
    bool autoRedraw_ = false;
    bool dotted_ = false;
    int32_t backColor_ = 0xFFFFFF;
    int32_t foreColor_ = 0;
    mutable QImage persistent_;
    mutable QImage shown_;
};
