// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel checks the drawing tests share.
#pragma once

#include <QImage>
#include <cstdint>

#include "widgets/colours.h"

// True when some pixel of img is exactly the program colour given.
inline bool hasColour(const QImage& img, int32_t colour) {
    const QRgb want = toQColor(colour).rgb();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == want) return true;
    return false;
}
