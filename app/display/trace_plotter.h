// Draws the recorded trace on a trace area: one segment per sample and row,
// and clearing the area for a new sweep ("Limpiar"). The windows that show
// sweep counts follow its cleared signal.
#pragma once

#include <QObject>

#include <cstdint>

class DrawingSurface;
struct VarGlob;

class TracePlotter : public QObject {
    Q_OBJECT
  public:
    TracePlotter(VarGlob& g, DrawingSurface* trace, QObject* parent = nullptr);

    // One segment in user units, in the given colour, kept when the area
    // repaints.
    void segment(float x1, float y1, float x2, float y2, int32_t colour);

    // Clears the area, redraws the grid when it is shown, and starts a new
    // sweep count.
    void clear(bool gridShown, bool xyMode);

  signals:
    void cleared();

  private:
    VarGlob& g_;
    DrawingSurface* trace_;
};
