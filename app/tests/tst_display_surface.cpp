// SPDX-License-Identifier: GPL-3.0-or-later
// The picture-area widget: scale mapping, persistence, text metrics.
#include <QtTest>

#include "display/drawing_surface.h"
#include "widgets/colours.h"
#include "widgets/twips.h"

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlue = 0xFF0000;

int32_t pixel(const QImage& img, int x, int y) {
    return fromQColor(QColor(img.pixel(x, y)));
}

}  // namespace

class TstDisplaySurface : public QObject {
    Q_OBJECT
  private slots:
    void unsetScaleIsTwipsFromTopLeft() {
        DrawingSurface s;
        s.resize(101, 51);
        QCOMPARE(s.scaleLeft(), 0.0f);
        QCOMPARE(s.scaleTop(), 0.0f);
        QCOMPARE(s.scaleWidth(), float(pixelsToTwipsX(101)));
        QCOMPARE(s.scaleHeight(), float(pixelsToTwipsY(51)));
        // Follows the size while never set.
        s.resize(201, 51);
        QCOMPARE(s.scaleWidth(), float(pixelsToTwipsX(201)));
    }

    void userScaleMapsEdgesAndFlipsY() {
        DrawingSurface s;
        s.resize(101, 51);
        s.setScale(0, 2.5f, 50, 0);  // y up
        QCOMPARE(s.scaleLeft(), 0.0f);
        QCOMPARE(s.scaleTop(), 2.5f);
        QCOMPARE(s.scaleWidth(), 50.0f);
        QCOMPARE(s.scaleHeight(), -2.5f);
        QCOMPARE(s.toPixelX(0), 0.0);
        QCOMPARE(s.toPixelX(50), 100.0);
        QCOMPARE(s.toPixelX(25), 50.0);
        QCOMPARE(s.toPixelY(2.5), 0.0);
        QCOMPARE(s.toPixelY(0), 50.0);
        QCOMPARE(s.toUserX(50), 25.0f);
        QCOMPARE(s.toUserY(50), 0.0f);
        // A set scale keeps its numbers when the area is resized.
        s.resize(201, 101);
        QCOMPARE(s.scaleWidth(), 50.0f);
        QCOMPARE(s.toPixelX(50), 200.0);
        // Setting one axis keeps the other.
        s.setScaleLeft(10);
        QCOMPARE(s.scaleLeft(), 10.0f);
        QCOMPARE(s.scaleWidth(), 50.0f);
        QCOMPARE(s.scaleTop(), 2.5f);
    }

    void persistentDrawingSurvivesRepaintAndResize() {
        DrawingSurface s;
        s.resize(101, 51);
        s.setBackColor(kWhite);
        s.setScale(0, 0, 100, 50);
        s.setAutoRedraw(true);
        s.line(0, 10, 100, 10, kRed);
        QCOMPARE(pixel(s.shownImage(), 50, 10), kRed);
        QCOMPARE(pixel(s.persistentImage(), 50, 10), kRed);
        s.show();
        s.repaint();
        s.resize(121, 61);
        QCOMPARE(pixel(s.shownImage(), 50, 10), kRed);
        // The new part takes the back colour.
        QCOMPARE(pixel(s.shownImage(), 110, 55), kWhite);
        // The widget shows the drawing.
        QCOMPARE(pixel(s.grab().toImage(), 50, 10), kRed);
    }

    void transientDrawingIsLostOnRepaint() {
        DrawingSurface s;
        s.resize(101, 51);
        s.setBackColor(kWhite);
        s.setScale(0, 0, 100, 50);
        s.setAutoRedraw(true);
        s.line(0, 5, 100, 5, kBlue);
        s.setAutoRedraw(false);
        s.line(0, 20, 100, 20, kRed);
        QCOMPARE(pixel(s.shownImage(), 50, 20), kRed);
        s.resize(101, 52);
        QCOMPARE(pixel(s.shownImage(), 50, 20), kWhite);
        QCOMPARE(pixel(s.shownImage(), 50, 5), kBlue);
        // Clearing with persistence on wipes both, and homes the current point.
        s.setAutoRedraw(true);
        s.cls();
        QCOMPARE(pixel(s.shownImage(), 50, 5), kWhite);
        QCOMPARE(s.currentY, 0.0f);
    }

    void dottedLineLeavesGaps() {
        DrawingSurface s;
        s.resize(101, 11);
        s.setBackColor(kWhite);
        s.setScale(0, 0, 100, 10);
        s.setDotted(true);
        s.line(0, 5, 100, 5, kRed);
        int red = 0;
        for (int x = 0; x <= 100; ++x) red += pixel(s.shownImage(), x, 5) == kRed;
        QVERIFY(red > 30 && red < 70);
        QCOMPARE(s.currentX, 100.0f);
        QCOMPARE(s.currentY, 5.0f);
    }

    void outOfRangeAndDegenerateScalesDoNotCrash() {
        DrawingSurface s;
        s.resize(50, 50);
        s.setScale(0, 0, 0, 0);  // zero width and height
        s.line(0, 0, 1, 1, kRed);
        s.pset(1, 1, kRed);
        s.print("x");
        s.setScale(0, 0, 1, 1);
        s.line(-1e30f, -1e30f, 1e30f, 1e30f, kRed);
        s.line(std::nanf(""), 0, 1, 1, kRed);
        s.pset(5, 5, kRed);  // outside: ignored
        QVERIFY(true);
    }

    void textMetricsInUserUnits() {
        DrawingSurface s;
        s.resize(201, 101);
        const QFontMetrics fm(s.font());
        const int wPx = fm.horizontalAdvance("12.5");
        s.setScale(0, 10, 20, 0);
        QCOMPARE(s.textWidth("12.5"), float(wPx * 20.0 / 200));
        QCOMPARE(s.textHeight("H"), float(-fm.height() * 10.0 / 100));
        // Twips on an unset area.
        DrawingSurface t;
        t.resize(201, 101);
        QCOMPARE(t.textWidth("12.5"), float(wPx * t.scaleWidth() / 200.0));
        QVERIFY(t.textHeight("H") > 0);
        // Print moves to the next line at the left edge.
        s.currentX = 5;
        s.currentY = 8;
        s.print("A");
        QCOMPARE(s.currentX, 0.0f);
        QCOMPARE(s.currentY, 8.0f + s.textHeight("A"));
    }
};

QTEST_MAIN(TstDisplaySurface)
#include "tst_display_surface.moc"
