// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's interaction as plain functions: the configure panel's
// limits, the cursor readout, the XY width steps and guide, and the picture
// taken for the printer and for image files.
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include "common/numbers.h"
#include "display/cursor_readout.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/plot_image.h"
#include "display/plot_limits.h"
#include "display/xy_adjust.h"
#include "widgets/colours.h"

namespace {

constexpr int32_t kRed = 0x0000FF;

// The locale's form of a number written with a point.
QString shown(QString text) {
    return text.replace(u'.', QLocale().decimalPoint());
}

bool uniform(const QImage& img, const QRect& r) {
    const QRgb first = img.pixel(r.topLeft());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != first) return false;
    return true;
}

QByteArray head(const QString& fileName) {
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.read(5) : QByteArray();
}

}  // namespace

class TstPlotLogic : public QObject {
    Q_OBJECT
  private slots:
    void limitBoxText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.5") << 2.5f << " 2.5";
        QTest::newRow("one half, no leading zero") << 0.5f << " .5";
        QTest::newRow("zero") << 0.0f << " 0";
        QTest::newRow("negative, no blank") << -1.0f << "-1";
        QTest::newRow("negative fraction") << -0.25f << "-.25";
    }
    void limitBoxText() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(::limitBoxText(value), shown(text));
        // What the box shows reads back as the same single.
        QCOMPARE(float(readNumber(::limitBoxText(value))), value);
    }

    void readPlotLimits_data() {
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<float>("storedUpper");
        QTest::addColumn<float>("storedLower");
        QTest::newRow("as shown") << " 2.5"
                                  << " 0" << true << 2.5f << 0.0f;
        QTest::newRow("equal") << "1"
                               << "1" << false << 0.0f << 0.0f;
        QTest::newRow("reversed") << "0"
                                  << "1" << false << 0.0f << 0.0f;
        QTest::newRow("no number reads 0") << "abc"
                                           << "-1" << true << 0.0f << -1.0f;
        QTest::newRow("trailing text ignored") << "5 V"
                                               << "-5x" << true << 5.0f << -5.0f;
        // Distinct in double, one single once stored.
        QTest::newRow("equal as singles") << "1000000.01"
                                          << "1000000" << false << 0.0f << 0.0f;
        QTest::newRow("a tenth below the single's step")
            << "1000000.3"
            << "1000000" << true << 1000000.3125f << 1000000.0f;
        QTest::newRow("beyond the single") << "1e39"
                                           << "0" << false << 0.0f << 0.0f;
        QTest::newRow("range beyond the single") << "3e38"
                                                 << "-3e38" << false << 0.0f << 0.0f;
    }
    void readPlotLimits() {
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QFETCH(bool, accepted);
        const std::optional<PlotRange> r = ::readPlotLimits(upper, lower);
        QCOMPARE(r.has_value(), accepted);
        if (!r) return;
        QTEST(r->upper, "storedUpper");
        QTEST(r->lower, "storedLower");
    }

    void narrowLimitsGiveABoundedGrid() {
        const auto r = ::readPlotLimits("1000000.3", "1000000");
        QVERIFY(r);
        // At most the ten horizontal lines and the nine time ticks.
        QVERIFY(timeGridLines(r->lower, r->upper, 50).size() <= 19);
    }

    void cursorReadout_data() {
        QTest::addColumn<bool>("xy");
        QTest::addColumn<float>("x");
        QTest::addColumn<QString>("pressX");
        QTest::addColumn<QString>("dragX");  // empty: kept
        QTest::newRow("sample 25") << false << 25.0f << "2.5"
                                   << "25";
        QTest::newRow("sample 5 keeps its leading zero") << false << 5.0f << "0.5"
                                                         << "5";
        QTest::newRow("between samples") << false << 25.7f << "2.57"
                                         << "25";
        QTest::newRow("before the first sample") << false << -0.5f << "-0.05"
                                                 << "-1";
        QTest::newRow("XY: the value, kept while dragging") << true << 1.25f << "1.25"
                                                            << "";
    }
    void cursorReadout() {
        QFETCH(bool, xy);
        QFETCH(float, x);
        QFETCH(QString, pressX);
        QFETCH(QString, dragX);
        const CursorReadout press = cursorOnPress(x, 0.5f, xy, 100);
        QCOMPARE(press.x.value_or("none"), shown(pressX));
        QCOMPARE(press.y, shown("0.5"));
        const CursorReadout drag = cursorOnDrag(x, -2.0f, xy);
        QCOMPARE(drag.x.value_or(""), dragX);
        QCOMPARE(drag.y, shown("-2.0"));
    }

    void readoutAndTimeAxisWriteHalfASecondDifferently() {
        const auto labels = timeAxisLabels(50, 100, 0, [](const QString& s) { return s.size(); });
        QCOMPARE(labels[1].text, QString(".5"));
        QCOMPARE(*cursorOnPress(5, 0, false, 100).x, shown("0.5"));
    }

    void xyWidthSteps_data() {
        QTest::addColumn<bool>("wider");
        QTest::addColumn<float>("before");
        QTest::addColumn<float>("after");
        QTest::newRow("> from the floor") << true << 2000.0f << 2015.0f;
        QTest::newRow("> has no upper bound") << true << 30000.0f << 30015.0f;
        QTest::newRow("< well above the floor") << false << 2030.0f << 2015.0f;
        QTest::newRow("< one step above") << false << 2015.0f << 2000.0f;
        QTest::newRow("< just above: one last step") << false << 2001.0f << 1986.0f;
        QTest::newRow("< at the floor") << false << 2000.0f << 2000.0f;
        QTest::newRow("< below the floor") << false << 1200.0f << 1200.0f;
    }
    void xyWidthSteps() {
        QFETCH(bool, wider);
        QFETCH(float, before);
        QTEST(wider ? widerXYWidth(before) : narrowerXYWidth(before), "after");
    }

    void squareGuideRunsCornerToCorner() {
        QWidget window;
        window.resize(200, 200);
        auto& s = *new DrawingSurface(&window);
        s.setGeometry(0, 0, 101, 101);
        s.setForeColor(kRed);
        s.line(0, 0, 10000, 10000, 0xFF0000);  // an old mark, in twips
        DrawSquareGuide(s, -5, 5);
        QCOMPARE(s.scaleLeft(), -5.0f);
        QCOMPARE(s.scaleTop(), 5.0f);
        QCOMPARE(s.scaleWidth(), 10.0f);
        QCOMPARE(s.scaleHeight(), -10.0f);
        const QImage& img = s.shownImage();
        const QRgb red = toQColor(kRed).rgb();
        // Bottom-left to top-right: each row has its red pixel on the
        // diagonal, give or take the painter's rounding.
        int rows = 0;
        for (int y = 0; y <= 100; ++y) {
            bool found = false;
            for (int x = std::max(0, 99 - y); x <= std::min(100, 101 - y); ++x)
                found = found || img.pixel(x, y) == red;
            rows += found;
        }
        QVERIFY(rows >= 100);  // the painter may leave out an end pixel
        // The area was cleared first: the old mark is gone.
        QCOMPARE(img.pixel(20, 20), toQColor(s.backColor()).rgb());
    }

    void imageLeavesOutTheHiddenControls() {
        QWidget window;
        window.resize(200, 100);
        auto* button = new QPushButton("&Imprimir", &window);
        button->setGeometry(10, 10, 80, 25);
        auto* hiddenBefore = new QPushButton("x", &window);
        hiddenBefore->setGeometry(100, 10, 80, 25);
        hiddenBefore->hide();
        const QImage img = imageWithout(&window, {button, hiddenBefore});
        QCOMPARE(img.size(), window.size() * img.devicePixelRatio());
        QVERIFY(uniform(img, QRect(0, 0, 200, 50)));
        // Shown again as it was, and only what was shown.
        QVERIFY(!button->isHidden());
        QVERIFY(hiddenBefore->isHidden());
        QVERIFY(!uniform(window.grab().toImage(), QRect(0, 0, 200, 50)));
    }

    void imageFiles() {
        QTemporaryDir dir;
        QImage img(120, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        const QString png = dir.filePath("plot.png");
        QVERIFY(saveImage(img, png));
        QCOMPARE(QImage(png).size(), img.size());
        const QString pdf = dir.filePath("plot.PDF");
        QVERIFY(saveImage(img, pdf));
        QCOMPARE(head(pdf), QByteArray("%PDF-"));

        QString error;
        QVERIFY(!saveImage(img, dir.filePath("no/such/folder.png"), &error));
        QVERIFY(!error.isEmpty());
    }

    void printsToAPdfPrinter() {
        QTemporaryDir dir;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("page.pdf"));
        QImage img(120, 60, QImage::Format_RGB32);
        img.fill(Qt::white);
        QVERIFY(printImage(img, printer));
        QCOMPARE(head(dir.filePath("page.pdf")), QByteArray("%PDF-"));
    }
};

QTEST_MAIN(TstPlotLogic)
#include "tst_plot_logic.moc"
