// SPDX-License-Identifier: GPL-3.0-or-later
// The graphic signal editor without its window: the points the user places
// become DrawnSignal as straight segments over the table's 300 steps, and
// the drawing's period, offset and amplitude follow each point.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

struct VarGlob;

struct DrawnSegment {
    float x1, y1, x2, y2;
};

class SignalDrawing {
  public:
    explicit SignalDrawing(VarGlob& g) : g_(g) {}

    // Nothing drawn: the drawn signal all 0 and no table (WaveLength 0).
    void reset();

    struct Press {
        // The point cannot go there (at or left of the last one).
        bool refused = false;
        // The first point, always at x = 1.
        bool firstPoint = false;
        float pointX = 0.0f;
        float pointY = 0.0f;
        // What to draw for a later point.
        std::vector<DrawnSegment> segments;
    };
    // A mouse button pressed at (x, y) of the drawing area's scale.
    Press press(float x, float y);

    struct Move {
        // The pointer is right of the last point, where a click draws.
        bool canDraw = false;
        QString timeText;   // ms under the pointer
        QString valueText;  // value under the pointer
    };
    Move move(float x, float y) const;

    bool started() const { return started_; }
    int16_t lastX() const { return lastX_; }

    // The result labels: period in ms, offset and amplitude as whole
    // numbers with a leading blank unless negative.
    QString periodText() const;
    QString offsetText() const;
    QString amplitudeText() const;

  private:
    VarGlob& g_;
    bool started_ = false;
    int16_t lastX_ = 0;
    float lastY_ = 0.0f;
    float min_ = 0.0f;
    float max_ = 0.0f;
    float amplitude_ = 0.0f;
    float offset_ = 0.0f;
    int periodMs_ = 0;
};
