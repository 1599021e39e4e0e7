// SPDX-License-Identifier: GPL-3.0-or-later
// Sizing of the plot window's surfaces after the window changes size.
#pragma once

class Session;
class FrmRegistro;

// Lays out the container, trace area and strips for the window's size, sets
// the time scale, redraws graduations and grid. Sizes below 500 twips are
// ignored; with "Modo XY" ticked (in the settings model) after a first layout the window is held at
// its last laid-out size instead.
void LayoutPlotWindow(Session& session, FrmRegistro* window);

// The window's size in twips as the layout counts it: the client area plus
// the frame the designed constants allow for, each clamped to 16 bits.
int plotFormWidthTwips(const FrmRegistro* window);
int plotFormHeightTwips(const FrmRegistro* window);
// The client size in pixels that a form size in twips gives.
int plotClientWidthPx(double formWidthTwips);
int plotClientHeightPx(double formHeightTwips);
