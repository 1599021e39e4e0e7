// SPDX-License-Identifier: GPL-3.0-or-later
// What a window may ask of the others: verbs, never a widget. The window set
// implements them and decides when each window is created and loaded.
#pragma once

#include <QString>

enum class ColourEntry;

class WindowVerbs {
  public:
    virtual ~WindowVerbs() = default;

    // The main window exists and has run its start-up.
    virtual void loadMain() = 0;
    // Shows the main window and brings it forward.
    virtual void raiseMain() = 0;
    // The plot window exists (hidden until shown) and has loaded.
    virtual void loadPlot() = 0;
    virtual void showPlot() = 0;
    // Start-up: the plot area's scale for the sampling settings, and the
    // graduation strips drawn to match.
    virtual void showPlotStartScale() = 0;
    // Lays the plot window out again for its present size.
    virtual void relayoutPlot() = 0;
    // The configuration dialog exists (hidden until shown) and has loaded.
    virtual void loadConfiguration() = 0;
    // Modal: returns once the dialog is closed.
    virtual void openConfiguration() = 0;
    // Modeless: a running recording goes on.
    virtual void showConfiguration() = 0;
    // Unloads the configuration dialog when it exists; whatever needs it
    // next loads it anew.
    virtual void closeConfiguration() = 0;
    // The colour dialog, modal, from one of its two entry points.
    virtual void editColours(ColourEntry entry) = 0;
    // Shows the help document at its contents page.
    virtual void openHelp(const QString& file) = 0;
    // A recording file opened read-only in a viewer window of its own; as
    // many as the user opens.
    virtual void openRecording(const QString& file) = 0;
    // The program is ending: every window but the main one is hidden.
    virtual void hideOthers() = 0;
};
