// SPDX-License-Identifier: GPL-3.0-or-later
// What the recording viewer shows, as plain numbers: the time and value range
// in view and how the wheel, a dragged rectangle and a drag move it; a
// min/max summary built once so that drawing a view costs the same for any
// length of file; and the marks of the time axis.
#pragma once

#include <QString>

#include <cstddef>
#include <vector>

struct RecordingData;

// Seconds t0 (left) to t1 (right), values y0 (bottom) to y1 (top).
struct ViewRange {
    double t0 = 0.0, t1 = 1.0;
    double y0 = 0.0, y1 = 1.0;
    bool operator==(const ViewRange&) const = default;
};

// Spans below these are not zoomed into: labels would repeat.
constexpr double kMinTimeSpan = 1e-3;
constexpr double kMinValueSpan = 1e-4;
// Nor zoomed out beyond these: far past any recording, and the arithmetic
// stays finite.
constexpr double kMaxSpan = 1e12;

// The whole recording: its time span (a single instant gets one second)
// and values from lower to upper widened to take in dataLow..dataHigh.
ViewRange wholeView(double tFirst, double tLast, double lower, double upper, double dataLow,
                    double dataHigh);

// Zooms by factor (< 1 in, > 1 out) about the point (t, y), which stays
// where it is on the screen. Spans never shrink below the minimums.
ViewRange zoomAbout(const ViewRange& v, double t, double y, double timeFactor, double valueFactor);
// The rectangle between two corners, in any order; one thinner than the
// minimum spans is taken at the minimum span about its centre.
ViewRange zoomToRect(double ta, double ya, double tb, double yb);
// The content follows the pointer: a drag of (dx, dy) pixels (y down) on a
// trace area of width x height pixels.
ViewRange panByPixels(const ViewRange& v, double dx, double dy, int width, int height);

// Pixel <-> time and value on a trace area of the given size (pixel 0 is
// the left / top edge, width - 1 the right edge as on the plot window).
double timeAtPixel(const ViewRange& v, double px, int width);
double valueAtPixel(const ViewRange& v, double py, int height);
double pixelOfTime(const ViewRange& v, double t, int width);
double pixelOfValue(const ViewRange& v, double y, int height);

// Min and max of each column over any range of samples, from blocks built
// once (and extended as a followed file grows): a query costs the same for
// any file length.
class MinMaxSummary {
  public:
    // Takes in the samples of data not yet summarised; a shorter data (a
    // file read again) starts over.
    void update(const RecordingData& data);
    // Min and max of column over samples [first, last); false when empty.
    bool range(int column, size_t first, size_t last, float& low, float& high) const;
    size_t size() const { return size_; }
    void clear() { *this = MinMaxSummary(); }

  private:
    static constexpr size_t kFanOut = 16;
    struct Level {
        size_t block = 0;  // samples per entry
        std::vector<float> low[5], high[5];
    };
    const RecordingData* data_ = nullptr;
    std::vector<Level> levels_;
    size_t size_ = 0;
};

// One pixel column of a trace: the values it covers, joined to the column
// before so the trace has no gaps.
struct ColumnSpan {
    int x;
    float low, high;
};

// The marks of a trace over the view, for a trace area width pixels wide:
// with few samples in view, each sample as a point to join by lines
// (points); otherwise one span per pixel column (spans). The first and last
// sample just outside the view are included, so the lines reach the edges.
struct TraceMarks {
    std::vector<std::pair<double, float>> points;  // (time, value)
    std::vector<ColumnSpan> spans;
};
TraceMarks traceMarks(const RecordingData& data, const MinMaxSummary& summary, int column,
                      const ViewRange& v, int width);

// Index of the sample nearest to time t; data must not be empty.
size_t nearestSample(const RecordingData& data, double t);

// Time axis: a tick every tenth of the view, labelled in seconds as the plot
// window labels its time axis (plain number text).
struct TimeTick {
    double t;
    QString text;
};
std::vector<TimeTick> timeTicks(const ViewRange& v);
