// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

// Without an application or a screen (tools, early start-up) 96 DPI is assumed.
double logicalDpi(bool horizontal) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 96.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96.0;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0.0 && std::isfinite(dpi) ? dpi : 96.0;
}

int toPixels(double twips, double perPixel) {
    const double px = std::round(twips / perPixel);
    if (std::isnan(px)) return 0;
    if (px > 1e9) return 1000000000;
    if (px < -1e9) return -1000000000;
    return static_cast<int>(px);
}

}  // namespace

double twipsPerPixelX() {
    return 1440.0 / logicalDpi(true);
}

double twipsPerPixelY() {
    return 1440.0 / logicalDpi(false);
}

int twipsToPixelsX(double twips) {
    return toPixels(twips, twipsPerPixelX());
}

int twipsToPixelsY(double twips) {
    return toPixels(twips, twipsPerPixelY());
}

double pixelsToTwipsX(int px) {
    return px * twipsPerPixelX();
}

double pixelsToTwipsY(int px) {
    return px * twipsPerPixelY();
}
