// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's arithmetic: zoom and pan, the min/max summary against a plain
// scan, the marks drawn for a view, and the time axis.
#include <QTest>

#include <random>

#include "common/recording_file.h"
#include "display/recording_view.h"

Q_DECLARE_METATYPE(ViewRange)

namespace {

RecordingData ramp(size_t n) {
    RecordingData d;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    for (size_t i = 0; i < n; ++i) {
        d.seconds.push_back(0.1 * double(i));
        for (size_t c = 0; c < 5; ++c) d.values[c].push_back(float(c) * noise(random));
    }
    return d;
}

bool near(const ViewRange& a, const ViewRange& b) {
    const auto eq = [](double x, double y) { return std::abs(x - y) < 1e-9 * (1 + std::abs(y)); };
    return eq(a.t0, b.t0) && eq(a.t1, b.t1) && eq(a.y0, b.y0) && eq(a.y1, b.y1);
}

}  // namespace

class TstRecordingView : public QObject {
    Q_OBJECT

  private slots:
    void zoomAndPan_data() {
        QTest::addColumn<ViewRange>("got");
        QTest::addColumn<ViewRange>("want");
        const ViewRange v{0, 100, 0, 10};
        QTest::newRow("wheel in about the middle")
            << zoomAbout(v, 50, 5, 0.5, 1) << ViewRange{25, 75, 0, 10};
        QTest::newRow("wheel in about the left edge")
            << zoomAbout(v, 0, 5, 0.5, 1) << ViewRange{0, 50, 0, 10};
        QTest::newRow("wheel out keeps the point")
            << zoomAbout(v, 80, 2, 2, 2) << ViewRange{-80, 120, -2, 18};
        QTest::newRow("no zoom below the smallest span")
            << zoomAbout(ViewRange{1, 1.0015, 0, 10}, 1, 5, 0.5, 0.5)
            << ViewRange{1, 1.0015, 2.5, 7.5};
        QTest::newRow("no zoom beyond the largest span")
            << zoomAbout(ViewRange{0, 0.9e12, 0, 0.9e12}, 0, 0, 2, 2)
            << ViewRange{0, 0.9e12, 0, 0.9e12};
        QTest::newRow("rectangle, corners in any order")
            << zoomToRect(40, 8, 20, 2) << ViewRange{20, 40, 2, 8};
        QTest::newRow("rectangle of no height")
            << zoomToRect(20, 3, 40, 3)
            << ViewRange{20, 40, 3 - kMinValueSpan / 2, 3 + kMinValueSpan / 2};
        QTest::newRow("drag right shows earlier times")
            << panByPixels(v, 10, 0, 101, 11) << ViewRange{-10, 90, 0, 10};
        QTest::newRow("drag down shows higher values")
            << panByPixels(v, 0, 5, 101, 11) << ViewRange{0, 100, 5, 15};
        QTest::newRow("whole: limits widened to the data")
            << wholeView(2, 50, 0, 2.5, -1, 1) << ViewRange{2, 50, -1, 2.5};
        QTest::newRow("whole: one instant, flat limits")
            << wholeView(7, 7, 1, 1, 1, 1)
            << ViewRange{7, 8, 1 - kMinValueSpan / 2, 1 + kMinValueSpan / 2};
    }
    void zoomAndPan() {
        QFETCH(ViewRange, got);
        QFETCH(ViewRange, want);
        QVERIFY2(
            near(got, want),
            qPrintable(QString("%1 %2 %3 %4").arg(got.t0).arg(got.t1).arg(got.y0).arg(got.y1)));
    }

    void pixelsRoundTrip() {
        const ViewRange v{10, 20, -5, 5};
        QCOMPARE(timeAtPixel(v, 0, 1601), 10.0);
        QCOMPARE(timeAtPixel(v, 1600, 1601), 20.0);
        QCOMPARE(valueAtPixel(v, 0, 401), 5.0);
        QCOMPARE(valueAtPixel(v, 400, 401), -5.0);
        for (double px : {0.0, 123.5, 1600.0})
            QCOMPARE(pixelOfTime(v, timeAtPixel(v, px, 1601), 1601), px);
        // The point under the wheel stays under it.
        const ViewRange z = zoomAbout(v, timeAtPixel(v, 400, 1601), 0, 0.8, 1);
        QCOMPARE(pixelOfTime(z, timeAtPixel(v, 400, 1601), 1601), 400.0);
    }

    void summaryAgainstAScan() {
        RecordingData d = ramp(70000);
        MinMaxSummary s;
        // Built in pieces, as a followed file grows, and at once.
        RecordingData growing;
        MinMaxSummary g;
        for (size_t n :
             {size_t(0), size_t(1), size_t(15), size_t(17), size_t(4097), size_t(70000)}) {
            while (growing.size() < n) {
                const size_t i = growing.size();
                growing.seconds.push_back(d.seconds[i]);
                for (size_t c = 0; c < 5; ++c) growing.values[c].push_back(d.values[c][i]);
            }
            g.update(growing);
        }
        s.update(d);
        std::mt19937 random(3);
        for (int k = 0; k < 3000; ++k) {
            size_t a = random() % 70001, b = random() % 70001;
            if (k % 3 == 0) b = std::min<size_t>(70000, a + random() % 40);
            if (a > b) std::swap(a, b);
            const int c = int(random() % 5);
            float low = 0, high = 0, gl = 0, gh = 0;
            const bool any = s.range(c, a, b, low, high);
            QCOMPARE(any, a < b);
            QCOMPARE(g.range(c, a, b, gl, gh), any);
            if (!any) continue;
            const auto& col = d.values[size_t(c)];
            const auto [lo, hi] =
                std::minmax_element(col.begin() + qsizetype(a), col.begin() + qsizetype(b));
            QCOMPARE(low, *lo);
            QCOMPARE(high, *hi);
            QCOMPARE(gl, *lo);
            QCOMPARE(gh, *hi);
        }
        // A shorter recording (a file read again) starts over.
        RecordingData small = ramp(20);
        s.update(small);
        QCOMPARE(s.size(), size_t(20));
    }

    void marksOfAView_data() {
        QTest::addColumn<size_t>("samples");
        QTest::addColumn<ViewRange>("view");
        QTest::addColumn<bool>("spans");
        QTest::newRow("few samples: points") << size_t(500) << ViewRange{0, 50, -5, 5} << false;
        QTest::newRow("many samples: one span per column")
            << size_t(864000) << ViewRange{0, 86400, -5, 5} << true;
        QTest::newRow("zoomed into a long file: points")
            << size_t(864000) << ViewRange{100, 150, -5, 5} << false;
        QTest::newRow("view beyond the end: the last sample")
            << size_t(500) << ViewRange{100, 200, -5, 5} << false;
    }
    void marksOfAView() {
        QFETCH(size_t, samples);
        QFETCH(ViewRange, view);
        QFETCH(bool, spans);
        const RecordingData d = ramp(samples);
        MinMaxSummary s;
        s.update(d);
        const int width = 1600;
        for (int c = 0; c < 5; ++c) {
            const TraceMarks m = traceMarks(d, s, c, view, width);
            QCOMPARE(!m.spans.empty(), spans);
            QVERIFY(m.spans.size() <= size_t(width));
            if (spans) {
                // Every column's span holds the samples it covers.
                const auto& col = d.values[size_t(c)];
                float low = INFINITY, high = -INFINITY;
                for (const ColumnSpan& sp : m.spans) {
                    QVERIFY(sp.low <= sp.high);
                    low = std::min(low, sp.low);
                    high = std::max(high, sp.high);
                }
                const auto [lo, hi] = std::minmax_element(col.begin(), col.end());
                QCOMPARE(low, *lo);
                QCOMPARE(high, *hi);
            } else {
                QVERIFY(!m.points.empty());
                QVERIFY(m.points.front().first <= std::max(view.t0, d.seconds.front()));
                if (view.t0 < d.seconds.back())
                    QVERIFY(m.points.back().first >= std::min(view.t1, d.seconds.back()));
            }
        }
    }

    void timeAxis() {
        const std::vector<TimeTick> t = timeTicks(ViewRange{0, 5, 0, 1});
        QCOMPARE(int(t.size()), 10);
        QStringList texts;
        for (const TimeTick& tick : t) texts << tick.text;
        QCOMPARE(texts.join(' '), QString("0 .5 1 1.5 2 2.5 3 3.5 4 4.5"));
        QCOMPARE(timeTicks(ViewRange{86400, 86401, 0, 1})[1].text, QString("86400.1"));
        RecordingData d = ramp(10);
        QCOMPARE(nearestSample(d, -3), size_t(0));
        QCOMPARE(nearestSample(d, 0.34), size_t(3));
        QCOMPARE(nearestSample(d, 0.36), size_t(4));
        QCOMPARE(nearestSample(d, 99), size_t(9));
    }
};

QTEST_GUILESS_MAIN(TstRecordingView)
#include "tst_recording_view.moc"
