// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/colour_editor.h"

#include "display/drawing_surface.h"

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
