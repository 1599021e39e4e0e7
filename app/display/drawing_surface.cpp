// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/drawing_surface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "widgets/colours.h"
#include "widgets/twips.h"

namespace {

// Painter coordinates are kept well inside what the raster engine handles;
// anything further out is off the area anyway.
constexpr double kFar = 1.0e6;

double clampPixel(double p) {
    return std::clamp(p, -kFar, kFar);
}

}  // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    setFont(f);
}

float DrawingSurface::origin(const Axis& a) const {
    return a.origin.value_or(0.0f);
}

float DrawingSurface::extent(const Axis& a, bool horizontal) const {
    if (a.extent) return *a.extent;
    return static_cast<float>(horizontal ? pixelsToTwipsX(width()) : pixelsToTwipsY(height()));
}

void DrawingSurface::setScale(float x1, float y1, float x2, float y2) {
    h_ = {x1, x2 - x1};
    v_ = {y1, y2 - y1};
}

void DrawingSurface::setScaleLeft(float v) {
    h_.extent = scaleWidth();
    h_.origin = v;
}

void DrawingSurface::setScaleTop(float v) {
    v_.extent = scaleHeight();
    v_.origin = v;
}

void DrawingSurface::setScaleWidth(float v) {
    h_.origin = scaleLeft();
    h_.extent = v;
}

void DrawingSurface::setScaleHeight(float v) {
    v_.origin = scaleTop();
    v_.extent = v;
}

void DrawingSurface::resetScale() {
    h_ = {};
    v_ = {};
}

float DrawingSurface::scaleLeft() const {
    return origin(h_);
}

float DrawingSurface::scaleTop() const {
    return origin(v_);
}

float DrawingSurface::scaleWidth() const {
    return extent(h_, true);
}

float DrawingSurface::scaleHeight() const {
    return extent(v_, false);
}

// The scale spans the first to the last pixel, so both edges of the scale are
// visible (a trace at the lower limit shows on the bottom row).
int DrawingSurface::spanX() const {
    return std::max(1, width() - 1);
}

int DrawingSurface::spanY() const {
    return std::max(1, height() - 1);
}

double DrawingSurface::toPixelX(double x) const {
    return (x - scaleLeft()) / scaleWidth() * spanX();
}

double DrawingSurface::toPixelY(double y) const {
    return (y - scaleTop()) / scaleHeight() * spanY();
}

float DrawingSurface::toUserX(double px) const {
    return static_cast<float>(scaleLeft() + px / spanX() * scaleWidth());
}

float DrawingSurface::toUserY(double py) const {
    return static_cast<float>(scaleTop() + py / spanY() * scaleHeight());
}

const QImage& DrawingSurface::shownImage() const {
    ensureImages();
    return shown_;
}

const QImage& DrawingSurface::persistentImage() const {
    ensureImages();
    return persistent_;
}

void DrawingSurface::ensureImages() const {
    const QSize want(std::max(1, width()), std::max(1, height()));
    if (persistent_.size() == want) return;
    // Growing keeps what was drawn at the top-left; new parts get the back colour.
    auto regrow = [&](QImage& img) {
        QImage next(want, QImage::Format_RGB32);
        next.fill(toQColor(backColor_));
        if (!img.isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, img);
        }
        img = std::move(next);
    };
    regrow(persistent_);
    // A new size repaints the whole area: marks that were not kept are gone.
    shown_ = persistent_.copy();
}

template <typename Fn>
void DrawingSurface::drawWith(const QRect& touched, Fn fn) {
    ensureImages();
    if (autoRedraw_) {
        QPainter p(&persistent_);
        fn(p);
    }
    {
        QPainter p(&shown_);
        fn(p);
    }
    const QRect r = touched.normalized().adjusted(-2, -2, 2, 2).intersected(rect());
    if (!r.isEmpty()) update(r);
}

void DrawingSurface::cls() {
    ensureImages();
    if (autoRedraw_) persistent_.fill(toQColor(backColor_));
    shown_ = persistent_.copy();
    currentX = scaleLeft();
    currentY = scaleTop();
    update();
}

void DrawingSurface::setBackColor(int32_t colour) {
    backColor_ = colour;
    ensureImages();
    persistent_.fill(toQColor(colour));
    shown_.fill(toQColor(colour));
    update();
}

void DrawingSurface::line(float x1, float y1, float x2, float y2, int32_t colour) {
    currentX = x2;
    currentY = y2;
    const double px1 = toPixelX(x1), py1 = toPixelY(y1);
    const double px2 = toPixelX(x2), py2 = toPixelY(y2);
    if (!std::isfinite(px1) || !std::isfinite(py1) || !std::isfinite(px2) || !std::isfinite(py2))
        return;
    // Nearest pixel; the painter's pixel centres sit at i + 0.5.
    const QPointF a(std::round(clampPixel(px1)) + 0.5, std::round(clampPixel(py1)) + 0.5);
    const QPointF b(std::round(clampPixel(px2)) + 0.5, std::round(clampPixel(py2)) + 0.5);
    const QRect touched = QRectF(a, b).normalized().toAlignedRect();
    const bool dotted = dotted_;
    drawWith(touched, [&](QPainter& p) {
        QPen pen(toQColor(colour));
        pen.setWidth(0);  // one pixel, whatever the transform
        if (dotted) {
            pen.setStyle(Qt::CustomDashLine);
            pen.setDashPattern({1.0, 1.0});
        }
        p.setPen(pen);
        if (a == b)
            p.drawPoint(a);
        else
            p.drawLine(a, b);
    });
}

void DrawingSurface::lineTo(float x2, float y2, int32_t colour) {
    line(currentX, currentY, x2, y2, colour);
}

void DrawingSurface::pset(float x, float y, int32_t colour) {
    currentX = x;
    currentY = y;
    const double px = toPixelX(x), py = toPixelY(y);
    if (!std::isfinite(px) || !std::isfinite(py)) return;
    const QPoint pt(static_cast<int>(std::lround(clampPixel(px))),
                    static_cast<int>(std::lround(clampPixel(py))));
    if (!rect().contains(pt)) return;
    drawWith(QRect(pt, QSize(1, 1)), [&](QPainter& p) {
        p.setPen(toQColor(colour));
        p.drawPoint(pt);
    });
}

void DrawingSurface::print(const QString& text) {
    const double px = toPixelX(currentX), py = toPixelY(currentY);
    const float h = textHeight(text);
    currentX = scaleLeft();
    currentY += h;
    if (!std::isfinite(px) || !std::isfinite(py)) return;
    const QFontMetrics fm(font());
    const QPoint topLeft(static_cast<int>(std::lround(clampPixel(px))),
                         static_cast<int>(std::lround(clampPixel(py))));
    const QRect box(topLeft, QSize(fm.horizontalAdvance(text) + 2, fm.height()));
    const QFont f = font();
    const int32_t colour = foreColor_;
    drawWith(box, [&](QPainter& p) {
        p.setFont(f);
        p.setPen(toQColor(colour));
        p.drawText(topLeft.x(), topLeft.y() + fm.ascent(), text);
    });
}

float DrawingSurface::textWidth(const QString& text) const {
    const QFontMetrics fm(font());
    return static_cast<float>(fm.horizontalAdvance(text) * double(scaleWidth()) / spanX());
}

float DrawingSurface::textHeight(const QString&) const {
    const QFontMetrics fm(font());
    return static_cast<float>(fm.height() * double(scaleHeight()) / spanY());
}

void DrawingSurface::paintEvent(QPaintEvent* event) {
    ensureImages();
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, shown_, r);
}

void DrawingSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureImages();
}

void DrawingSurface::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ensureImages();
    shown_ = persistent_.copy();
}

void DrawingSurface::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit mousePressed(event->button(), event->buttons(), toUserX(pos.x()), toUserY(pos.y()));
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit mouseMoved(event->buttons(), toUserX(pos.x()), toUserY(pos.y()));
}

void DrawingSurface::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit mouseReleased(event->button(), event->buttons(), toUserX(pos.x()), toUserY(pos.y()));
}
