// SPDX-License-Identifier: GPL-3.0-or-later
// The colour dialog's preview picture (PIC_COLORES): the plot area's colours,
// its dotted grid and one ray per trace colour.
#pragma once

#include "common/colour_rules.h"

class DrawingSurface;

// Scale (0, 20)-(20, 0), origin at the bottom-left corner. The picture is
// cleared in the plot area's colour; the grid colour draws dotted lines at
// 0, 7 and 14 across and up; then five solid rays from the origin to
// (7 i, 20), i = 1 to 5, in the colours of E0, E1, E2, E3 and the output
// (the last ones leave the picture at its right edge).
void DrawColourPreview(DrawingSurface& picture, const ColourTable& table);
