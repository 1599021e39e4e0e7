// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/waveform_preview.h"

#include <cmath>

#include "common/numbers.h"
#include "core/var_glob.h"
#include "display/drawing_surface.h"

namespace {
constexpr int kSteps = 300;
}

std::vector<int16_t> previewValues(const VarGlob& g) {
    const int length = g.WaveLength;
    if (length < 1 || length > kSteps) return {};
    const auto next = [&](int j) { return j <= length ? j : (g.WaveOneShot ? length : 1); };
    std::vector<int16_t> values;
    values.reserve(kSteps);
    values.push_back(g.WaveTable[1]);
    int j = next(2);
    for (int x = 2; x <= kSteps; ++x) {
        values.push_back(g.WaveTable[j]);
        j = next(j + 1);
    }
    return values;
}

std::optional<float> previewTop(float scaleFactor, ModuleKind kind, float upper) {
    if (scaleFactor == 0.0f) return std::nullopt;
    const bool twelveBit = kind == ModuleKind::TypeOne || kind == ModuleKind::Converter12;
    const double codes = twelveBit ? 1000.0 : 100.0;
    const auto m = Round16(codes / static_cast<double>(scaleFactor));
    if (!m || *m == 0) return std::nullopt;
    const float top = static_cast<float>(*m) * upper;
    if (!std::isfinite(top) || top == 0.0f) return std::nullopt;
    return top;
}

bool DrawWaveformPreview(DrawingSurface& pic, const VarGlob& g, float upper) {
    pic.setAutoRedraw(true);
    pic.setForeColor(g.Colores[4][1]);
    // A new back colour also erases the area.
    pic.setBackColor(g.Colores[5][1]);
    const auto top = previewTop(g.ScaleFactor, moduleKindOf(g.ModuleType), upper);
    const std::vector<int16_t> values = previewValues(g);
    if (!top || values.empty()) return false;
    pic.setScale(1.0f, *top, static_cast<float>(kSteps), 0.0f);
    pic.currentX = 1.0f;
    pic.currentY = values[0];
    for (int x = 2; x <= kSteps; ++x) pic.lineTo(static_cast<float>(x), values[x - 1]);
    return true;
}
