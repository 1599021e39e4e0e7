// SPDX-License-Identifier: GPL-3.0-or-later
// The generator's preview: the waveform table drawn across 300 steps, a
// periodic table repeated, a one-shot table held at its last entry.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/module_kind.h"

class DrawingSurface;
struct VarGlob;

// The value drawn at each x from 1 to 300 (index 0 is x = 1); empty when the
// table holds nothing (WaveLength 0) or a length outside the table.
std::vector<int16_t> previewValues(const VarGlob& g);

// The value at the preview's upper edge: the converter's full range in
// codes for a plot range whose top is upper (units), that is
// round(1000 / scaleFactor) x upper on the 12-bit converter and
// round(100 / scaleFactor) x upper otherwise. Nothing when that cannot be
// drawn: a scale factor of 0, a factor beyond 16 bits or rounding to 0, or a
// top of 0.
std::optional<float> previewTop(float scaleFactor, ModuleKind kind, float upper);

// Clears the preview to the plot area's colour and draws the table in the
// analog output's colour on a scale from 1 to 300 across and from the top
// down to 0. Draws no trace, and says so, when the table is empty or the
// scale cannot be drawn.
bool DrawWaveformPreview(DrawingSurface& pic, const VarGlob& g, float upper);
