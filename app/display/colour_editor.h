// SPDX-License-Identifier: GPL-3.0-or-later
// The colour dialog's state without its widgets: the table being edited, the
// copy taken when the dialog opened ("&Reponer" and "&Cancelar" go back to
// it), the row being edited and what the three bars hold; and its preview
// picture (PIC_COLORES): the plot area's colours, its dotted grid and one
// ray per trace colour.
#pragma once

#include "common/colour_rules.h"

class DrawingSurface;

class ColourEditor {
  public:
    // The dialog's load: a new copy of the table, then the output ("&SA")
    // selected.
    explicit ColourEditor(const ColourTable& table) { load(table); }
    void load(const ColourTable& table);

    // An option chosen: the bars take the parts of the row's colour. A bar
    // that moves writes its part back, which also sets the row's contrast.
    void select(int row);
    int selected() const { return selected_; }

    // A bar moved to value: its part of the selected row's colour is
    // replaced and the row's contrast follows. False, and nothing done, when
    // the bar already held value.
    bool moveBar(ColourPart part, int value);
    const Rgb& bars() const { return bars_; }

    // "&Reponer": the colours the dialog opened with, loaded again.
    void reset() { load(backup_); }

    const ColourTable& table() const { return table_; }
    const ColourTable& backup() const { return backup_; }

  private:
    ColourTable table_{};
    ColourTable backup_{};
    int selected_ = 0;
    // Bars start at 0, as on a dialog just built.
    Rgb bars_;
};

// The output's row, which the dialog selects when it opens.
constexpr int kOutputRow = 4;

// Scale (0, 20)-(20, 0), origin at the bottom-left corner. The picture is
// cleared in the plot area's colour; the grid colour draws dotted lines at
// 0, 7 and 14 across and up; then five solid rays from the origin to
// (7 i, 20), i = 1 to 5, in the colours of E0, E1, E2, E3 and the output
// (the last ones leave the picture at its right edge).
void DrawColourPreview(DrawingSurface& picture, const ColourTable& table);
