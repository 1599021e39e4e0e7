// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/colour_editor.h"

void ColourEditor::load(const ColourTable& table) {
    table_ = table;
    backup_ = table;
    select(kOutputRow);
}

void ColourEditor::select(int row) {
    if (row < 0 || row >= int(table_.size())) return;
    selected_ = row;
    const Rgb parts = SplitColour(table_[size_t(row)][1]);
    for (const ColourPart part : {ColourPart::Red, ColourPart::Green, ColourPart::Blue}) {
        moveBar(part, partValue(parts, part));
    }
}

bool ColourEditor::moveBar(ColourPart part, int value) {
    int& bar = part == ColourPart::Red     ? bars_.red
               : part == ColourPart::Green ? bars_.green
                                           : bars_.blue;
    if (bar == value) return false;
    bar = value;
    auto& row = table_[size_t(selected_)];
    row[1] = withPart(row[1], part, value);
    row[2] = ContrastColour(row[1]);
    return true;
}
