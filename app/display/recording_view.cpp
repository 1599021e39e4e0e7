// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/recording_view.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "common/recording_file.h"

namespace {

// Widens [a, b] about its centre to at least span.
void atLeast(double& a, double& b, double span) {
    if (!(b - a >= span)) {
        const double mid = std::isfinite(a + b) ? (a + b) / 2.0 : 0.0;
        a = mid - span / 2.0;
        b = mid + span / 2.0;
    }
}

}  // namespace

ViewRange wholeView(double tFirst, double tLast, double lower, double upper, double dataLow,
                    double dataHigh) {
    ViewRange v;
    v.t0 = tFirst;
    v.t1 = tLast;
    if (!(v.t1 - v.t0 >= kMinTimeSpan)) v.t1 = v.t0 + 1.0;
    v.y0 = std::min(lower, upper);
    v.y1 = std::max(lower, upper);
    if (std::isfinite(dataLow) && dataLow < v.y0) v.y0 = dataLow;
    if (std::isfinite(dataHigh) && dataHigh > v.y1) v.y1 = dataHigh;
    atLeast(v.y0, v.y1, kMinValueSpan);
    return v;
}

ViewRange zoomAbout(const ViewRange& v, double t, double y, double timeFactor, double valueFactor) {
    ViewRange r;
    r.t0 = t - (t - v.t0) * timeFactor;
    r.t1 = t + (v.t1 - t) * timeFactor;
    r.y0 = y - (y - v.y0) * valueFactor;
    r.y1 = y + (v.y1 - y) * valueFactor;
    // At the smallest or largest span a further zoom leaves the view as it is.
    if (!(r.t1 - r.t0 >= kMinTimeSpan && r.t1 - r.t0 <= kMaxSpan)) {
        r.t0 = v.t0;
        r.t1 = v.t1;
    }
    if (!(r.y1 - r.y0 >= kMinValueSpan && r.y1 - r.y0 <= kMaxSpan)) {
        r.y0 = v.y0;
        r.y1 = v.y1;
    }
    return r;
}

ViewRange zoomToRect(double ta, double ya, double tb, double yb) {
    ViewRange r{std::min(ta, tb), std::max(ta, tb), std::min(ya, yb), std::max(ya, yb)};
    atLeast(r.t0, r.t1, kMinTimeSpan);
    atLeast(r.y0, r.y1, kMinValueSpan);
    return r;
}

ViewRange panByPixels(const ViewRange& v, double dx, double dy, int width, int height) {
    const double dt = width > 1 ? dx * (v.t1 - v.t0) / (width - 1) : 0.0;
    const double dv = height > 1 ? dy * (v.y1 - v.y0) / (height - 1) : 0.0;
    // Dragging right shows earlier times; dragging down (y grows) higher values.
    return {v.t0 - dt, v.t1 - dt, v.y0 + dv, v.y1 + dv};
}

double timeAtPixel(const ViewRange& v, double px, int width) {
    return width > 1 ? v.t0 + px * (v.t1 - v.t0) / (width - 1) : v.t0;
}

double valueAtPixel(const ViewRange& v, double py, int height) {
    return height > 1 ? v.y1 - py * (v.y1 - v.y0) / (height - 1) : v.y1;
}

double pixelOfTime(const ViewRange& v, double t, int width) {
    return (t - v.t0) * (width - 1) / (v.t1 - v.t0);
}

double pixelOfValue(const ViewRange& v, double y, int height) {
    return (v.y1 - y) * (height - 1) / (v.y1 - v.y0);
}

void MinMaxSummary::update(const RecordingData& data) {
    const size_t n = data.size();
    if (&data != data_ || n < size_) {
        levels_.clear();
        size_ = 0;
        data_ = &data;
    }
    if (levels_.empty()) {
        levels_.push_back(Level{kFanOut, {}, {}});
    }
    // Enough levels that the top one has a few entries.
    while (levels_.back().block * kFanOut <= n) {
        levels_.push_back(Level{levels_.back().block * kFanOut, {}, {}});
    }
    for (size_t li = 0; li < levels_.size(); ++li) {
        Level& level = levels_[li];
        const size_t entries = (n + level.block - 1) / level.block;
        // The last entry may have been partial: redo it.
        const size_t from = level.low[0].empty() ? 0 : level.low[0].size() - 1;
        for (int c = 0; c < 5; ++c) {
            auto& lo = level.low[c];
            auto& hi = level.high[c];
            lo.resize(entries);
            hi.resize(entries);
            for (size_t e = from; e < entries; ++e) {
                float l = INFINITY, h = -INFINITY;
                if (li == 0) {
                    const auto& col = data.values[static_cast<size_t>(c)];
                    const size_t end = std::min(n, (e + 1) * level.block);
                    for (size_t i = e * level.block; i < end; ++i) {
                        l = std::min(l, col[i]);
                        h = std::max(h, col[i]);
                    }
                } else {
                    const Level& below = levels_[li - 1];
                    const size_t end = std::min(below.low[c].size(), (e + 1) * kFanOut);
                    for (size_t i = e * kFanOut; i < end; ++i) {
                        l = std::min(l, below.low[c][i]);
                        h = std::max(h, below.high[c][i]);
                    }
                }
                lo[e] = l;
                hi[e] = h;
            }
        }
    }
    size_ = n;
}

bool MinMaxSummary::range(int column, size_t first, size_t last, float& low, float& high) const {
    last = std::min(last, size_);
    if (column < 0 || column > 4 || first >= last || !data_) return false;
    const auto& col = data_->values[static_cast<size_t>(column)];
    low = INFINITY;
    high = -INFINITY;
    size_t i = first;
    // Climb: single samples up to a block edge, then ever larger blocks.
    auto take = [&](float l, float h) {
        low = std::min(low, l);
        high = std::max(high, h);
    };
    while (i < last && i % kFanOut != 0) take(col[i], col[i]), ++i;
    size_t li = 0;
    while (li < levels_.size()) {
        const Level& level = levels_[li];
        const size_t next = li + 1 < levels_.size() ? levels_[li + 1].block : 0;
        // Take blocks of this level until the next level's edge or the end.
        while (i + level.block <= last && (next == 0 || i % next != 0)) {
            take(level.low[column][i / level.block], level.high[column][i / level.block]);
            i += level.block;
        }
        if (next == 0 || i + next > last) break;
        ++li;
    }
    // Descend: the largest blocks that still fit, then single samples.
    for (size_t d = li + 1; d-- > 0;) {
        const Level& level = levels_[d];
        while (i + level.block <= last) {
            take(level.low[column][i / level.block], level.high[column][i / level.block]);
            i += level.block;
        }
    }
    while (i < last) take(col[i], col[i]), ++i;
    return true;
}

size_t nearestSample(const RecordingData& data, double t) {
    const auto& s = data.seconds;
    const auto it = std::lower_bound(s.begin(), s.end(), t);
    if (it == s.begin()) return 0;
    if (it == s.end()) return s.size() - 1;
    const size_t i = static_cast<size_t>(it - s.begin());
    return (t - s[i - 1] <= s[i] - t) ? i - 1 : i;
}

TraceMarks traceMarks(const RecordingData& data, const MinMaxSummary& summary, int column,
                      const ViewRange& v, int width) {
    TraceMarks marks;
    const auto& s = data.seconds;
    const size_t n = std::min(summary.size(), s.size());
    if (n == 0 || width < 2 || column < 0 || column > 4) return marks;
    const auto& col = data.values[static_cast<size_t>(column)];
    // One sample beyond each edge, so lines run to the edges.
    size_t a = static_cast<size_t>(std::lower_bound(s.begin(), s.begin() + n, v.t0) - s.begin());
    size_t b = static_cast<size_t>(std::upper_bound(s.begin(), s.begin() + n, v.t1) - s.begin());
    if (a > 0) --a;
    if (b < n) ++b;
    if (b - a <= static_cast<size_t>(width) * 2) {
        marks.points.reserve(b - a);
        for (size_t i = a; i < b; ++i) marks.points.emplace_back(s[i], col[i]);
        return marks;
    }
    marks.spans.reserve(static_cast<size_t>(width));
    const double perPixel = (v.t1 - v.t0) / (width - 1);
    size_t i = a;
    bool havePrevious = false;
    float previous = 0.0f;
    for (int x = 0; x < width && i < b; ++x) {
        // The samples nearest to this column: half a pixel either side.
        const double end = v.t0 + (x + 0.5) * perPixel;
        const size_t j = x == width - 1
                             ? b
                             : static_cast<size_t>(
                                   std::upper_bound(s.begin() + i, s.begin() + b, end) - s.begin());
        if (j == i) continue;
        float low = 0.0f, high = 0.0f;
        summary.range(column, i, j, low, high);
        if (havePrevious) {
            low = std::min(low, previous);
            high = std::max(high, previous);
        }
        marks.spans.push_back({x, low, high});
        previous = col[j - 1];
        havePrevious = true;
        i = j;
    }
    return marks;
}

std::vector<TimeTick> timeTicks(const ViewRange& v) {
    std::vector<TimeTick> ticks;
    const double step = (v.t1 - v.t0) / 10.0;
    for (int i = 0; i < 10; ++i) {
        const double t = v.t0 + step * i;
        ticks.push_back({t, plainNumber(static_cast<float>(t))});
    }
    return ticks;
}
