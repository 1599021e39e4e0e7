// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/colour_preview.h"

#include "display/drawing_surface.h"

void DrawColourPreview(DrawingSurface& picture, const ColourTable& table) {
    picture.setScale(0.0f, 20.0f, 20.0f, 0.0f);
    picture.setBackColor(table[5][1]);
    picture.setForeColor(table[5][2]);
    picture.setDotted(true);
    for (const float x : {0.0f, 7.0f, 14.0f}) {
        picture.line(0.0f, x, 20.0f, x);
        picture.line(x, 0.0f, x, 20.0f);
    }
    picture.setDotted(false);
    for (int i = 1; i <= 5; ++i) {
        picture.line(0.0f, 0.0f, 7.0f * float(i), 20.0f, table[size_t(i - 1)][1]);
    }
}
