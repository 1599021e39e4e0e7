// SPDX-License-Identifier: GPL-3.0-or-later
// Graduation label positions and grid line positions as numbers.
#include <QtTest>

#include <cmath>
#include <limits>

#include "display/graduations.h"
#include "display/grid.h"

namespace {

// One unit per character keeps the expected positions readable.
float charWidth(const QString& s) {
    return static_cast<float>(s.size());
}

QStringList texts(const std::vector<PlacedText>& labels) {
    QStringList out;
    for (const auto& l : labels) out << l.text;
    return out;
}

}  // namespace

class TstDisplayGraduations : public QObject {
    Q_OBJECT
  private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void timeLabels_data() {
        QTest::addColumn<float>("samples");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<float>("secondsEnd");  // where " seg." ends
        QTest::newRow("50 samples")
            << 50.0f << 5
            << QStringList{"0", ".5", "1", "1.5", "2", "2.5", "3", "3.5", "4", "4.5", " seg."}
            << 50.0f;
        QTest::newRow("55 samples: ticks of 6, unit cut off")
            << 55.0f << 6
            << QStringList{"0", ".6", "1.2", "1.8", "2.4", "3", "3.6", "4.2", "4.8", "5.4", " seg."}
            << 60.0f;
        QTest::newRow("45 samples: ticks of 4")
            << 45.0f << 4
            << QStringList{"0", ".4", ".8", "1.2", "1.6", "2", "2.4", "2.8", "3.2", "3.6", " seg."}
            << 40.0f;
    }
    void timeLabels() {
        QFETCH(float, samples);
        QFETCH(int, spacing);
        QFETCH(QStringList, expected);
        QFETCH(float, secondsEnd);
        QCOMPARE(int(*timeTickSpacing(samples)), spacing);
        const auto labels = timeAxisLabels(samples, 100, 10.0f, charWidth);
        QCOMPARE(texts(labels), expected);
        // The first label starts half its width right of the edge, the others
        // are centred on their tick; all on one line.
        QCOMPARE(labels[0].x, 0.5f);
        for (int i = 1; i < 10; ++i)
            QCOMPARE(labels[i].x + charWidth(labels[i].text) / 2, float(spacing * i));
        QCOMPARE(labels[10].x + charWidth(" seg."), secondsEnd);
        for (const auto& l : labels) QCOMPARE(l.y, 10.0f);
    }

    void timeLabelsBeyondSixteenBits() {
        QVERIFY(timeAxisLabels(1e6f, 100, 0, charWidth).empty());
        QVERIFY(timeAxisLabels(std::nanf(""), 100, 0, charWidth).empty());
        // Ticks stop where the 16-bit position would overflow.
        QCOMPARE(timeAxisLabels(300000, 100, 0, charWidth).size(), size_t(2));
    }

    void valueLabelsZeroToTen() {
        const float hh = 0.25f;
        const auto labels = valueAxisLabels(0, 10, "V", 100, hh, charWidth);
        QCOMPARE(texts(labels), (QStringList{"0.0", "1.0", "2.0", "3.0", "4.0", "5.0", "6.0", "7.0",
                                             "8.0", "9.0", "V"}));
        // The lowest label rests on the bottom edge, the others are centred.
        QCOMPARE(labels[0].y, 2 * hh);
        for (int i = 1; i < 10; ++i) QCOMPARE(labels[i].y, float(i) + hh);
        // The unit name hangs from the top edge.
        QCOMPARE(labels[10].y, 10.0f);
        for (const auto& l : labels) QCOMPARE(l.x + charWidth(l.text), 100.0f);
    }

    void xyLabelsMinusFiveToFive() {
        const auto labels = xyAxisLabels(-5, 5, "Volt", 3, charWidth);
        QCOMPARE(texts(labels), (QStringList{"-4.0", "-2.0", "0.0", "2.0", "4.0", "Volt"}));
        const float centres[] = {-4, -2, 0, 2, 4};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(labels[i].x + charWidth(labels[i].text) / 2, centres[i]);
        QCOMPARE(labels[5].x + charWidth("Volt"), 5.0f);
        for (const auto& l : labels) QCOMPARE(l.y, 3.0f);
    }

    void timeGrid_data() {
        QTest::addColumn<float>("lower");
        QTest::addColumn<float>("upper");
        QTest::addColumn<QList<float>>("horizontal");
        QTest::newRow("0 to 2.5: ten lines")
            << 0.0f << 2.5f << QList<float>{0, 0.25f, 0.5f, 0.75f, 1, 1.25f, 1.5f, 1.75f, 2, 2.25f};
        // The single-precision sum passes 0.9 before the ninth inner line.
        QTest::newRow("0 to 1: accumulated sum stops early")
            << 0.0f << 1.0f
            << QList<float>{0,
                            0.1f,
                            0.2f,
                            0.1f + 0.2f,
                            0.1f + 0.2f + 0.1f,
                            0.1f + 0.2f + 0.1f + 0.1f,
                            0.1f + 0.2f + 0.1f + 0.1f + 0.1f,
                            0.1f + 0.2f + 0.1f + 0.1f + 0.1f + 0.1f,
                            0.1f + 0.2f + 0.1f + 0.1f + 0.1f + 0.1f + 0.1f};
        QTest::newRow("equal limits: no lines") << 3.0f << 3.0f << QList<float>{};
        QTest::newRow("NaN limit: no lines") << std::nanf("") << 1.0f << QList<float>{};
        QTest::newRow("infinite limit: no lines")
            << 0.0f << std::numeric_limits<float>::infinity() << QList<float>{};
    }
    void timeGrid() {
        QFETCH(float, lower);
        QFETCH(float, upper);
        QFETCH(QList<float>, horizontal);
        const auto lines = timeGridLines(lower, upper, 50);
        QList<float> got;
        QList<float> vertical;
        for (const auto& l : lines) {
            if (l.y1 == l.y2 && l.x1 == 0 && l.x2 == 50)
                got << l.y1;
            else
                vertical << l.x1;
        }
        QCOMPARE(got, horizontal);
        QCOMPARE(vertical, (QList<float>{5, 10, 15, 20, 25, 30, 35, 40, 45}));
    }

    void reversedAndNarrowRangesEnd() {
        // Upper below lower: the lines run downward and stop.
        const auto down = timeGridLines(0, -1, 50);
        QVERIFY(down.size() > 9 && down.size() < 25);
        // Ranges whose tenth does not move the single-precision sum: at most
        // the ten horizontal lines and the nine time ticks.
        QVERIFY(timeGridLines(1e8f, std::nextafter(1e8f, 2e8f), 50).size() <= 19);
        QVERIFY(timeGridLines(1000000.0f, 1000000.3f, 50).size() <= 19);
        // A tenth of 1.4 steps of the single adds one step: the sum would
        // pass fourteen lines before the bound; the grid stops at ten.
        QCOMPARE(timeGridLines(1000000.0f, 1000000.875f, 50).size(), size_t(19));
        // No vertical lines past 16 bits.
        QVERIFY(timeGridLines(0, 1, 1e7f).size() == 9);
    }

    void xyGridZeroToTen() {
        const auto lines = xyGridLines(0, 10);
        QCOMPARE(lines.size(), size_t(18));
        for (int i = 0; i < 9; ++i) {
            const GridLine& v = lines[2 * i];
            const GridLine& h = lines[2 * i + 1];
            const float at = float(i + 1);
            QVERIFY(v.x1 == at && v.x2 == at && v.y1 == 0 && v.y2 == 10);
            QVERIFY(h.y1 == at && h.y2 == at && h.x1 == 0 && h.x2 == 10);
        }
    }
};

QTEST_MAIN(TstDisplayGraduations)
#include "tst_display_graduations.moc"
