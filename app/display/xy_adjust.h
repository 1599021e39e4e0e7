// SPDX-License-Identifier: GPL-3.0-or-later
// The XY area's width adjustment ("Ajustar", ">" and "<") and the square
// guide it draws while the width is being chosen.
#pragma once

#include "display/grid.h"

class DrawingSurface;

// Each press of ">" or "<" moves the width by this many twips.
inline constexpr float kXYWidthStepTwips = 15.0f;
// "<" does nothing once the width is this or less.
inline constexpr float kXYWidthFloorTwips = 2000.0f;

// ">": the width grows by one step, without an upper bound (the container
// cuts off what passes its edge).
float widerXYWidth(float widthTwips);
// "<": the width shrinks by one step while it is above the floor, so a width
// just above it takes one last step.
float narrowerXYWidth(float widthTwips);

// The XY scale of a trace area: both axes from lower to upper, y up.
struct UserScale {
    float x1, y1, x2, y2;
};
UserScale xyScale(float lower, float upper);

// The guide's diagonal, from (lower, lower) to (upper, upper): on a square
// area it runs from corner to corner at 45 degrees.
GridLine squareGuideLine(float lower, float upper);

// Clears the trace area, gives it the XY scale and draws the guide in its
// fore colour.
void DrawSquareGuide(DrawingSurface& trace, float lower, float upper);
