// The plot window's controls that the configuration drives: the XY axis
// options, "Rejilla" and "Modo XY", and its layout.
#pragma once

#include <QCheckBox>
#include <QRadioButton>

class AppContext;

// std::nullptr when the window has no such control.
QRadioButton* plotOptX(AppContext& ctx, int index);
QRadioButton* plotOptY(AppContext& ctx, int index);
QCheckBox* plotGridBox(AppContext& ctx);
QCheckBox* plotXYModeBox(AppContext& ctx);
// Lays the plot window out again for the present limits and units.
void relayoutPlotWindow(AppContext& ctx);
