// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/xy_adjust.h"

#include "display/drawing_surface.h"

float widerXYWidth(float widthTwips) {
    return widthTwips + kXYWidthStepTwips;
}

float narrowerXYWidth(float widthTwips) {
    return widthTwips > kXYWidthFloorTwips ? widthTwips - kXYWidthStepTwips : widthTwips;
}

UserScale xyScale(float lower, float upper) {
    return {lower, upper, upper, lower};
}

GridLine squareGuideLine(float lower, float upper) {
    return {lower, lower, upper, upper};
}

void DrawSquareGuide(DrawingSurface& trace, float lower, float upper) {
    trace.cls();
    const UserScale s = xyScale(lower, upper);
    trace.setScale(s.x1, s.y1, s.x2, s.y2);
    const GridLine l = squareGuideLine(lower, upper);
    trace.line(l.x1, l.y1, l.x2, l.y2);
}
