// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/colour_settings.h"

#include "core/settings_model.h"

namespace {
// Row i of the table colours value label i: background, then text.
std::array<LabelColours, 5> labelColoursOf(const ColourTable& table) {
    std::array<LabelColours, 5> labels{};
    for (size_t i = 0; i < labels.size(); ++i) labels[i] = {table[i][1], table[i][2]};
    return labels;
}
}  // namespace

void ResetDefaultColours(SettingsModel& m) {
    m.setColourTable(DefaultColours());
    m.setLabelColours(labelColoursOf(m.colourTable()));
    m.announce(SettingsGroup::PlotColours);
}

void ApplyColours(SettingsModel& m) {
    m.announce(SettingsGroup::ColoursApplied);
    m.setLabelColours(labelColoursOf(m.colourTable()));
}
