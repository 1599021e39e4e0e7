// SPDX-License-Identifier: GPL-3.0-or-later
// Number reading, rounding, display patterns, colours and twips.
#include <QLocale>
#include <QtTest>

#include <cmath>
#include <limits>

#include "common/numbers.h"
#include "common/prompts.h"
#include "widgets/colours.h"
#include "widgets/twips.h"

class TstCommon : public QObject {
    Q_OBJECT
  private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void saveDialogRefusals() {
        QTemporaryDir dir;
        QVERIFY(!prompts::saveRefusal(dir.filePath("nuevo.CFG")).has_value());
        const auto missing = prompts::saveRefusal(dir.filePath("no/hay/x.CFG"));
        QVERIFY(missing && missing->contains("La carpeta no existe."));
        QFile locked(dir.filePath("fijo.CFG"));
        QVERIFY(locked.open(QIODevice::WriteOnly));
        locked.close();
        locked.setPermissions(QFile::ReadOwner);
        // Root may write anything; the refusal follows what the file allows.
        if (!QFileInfo(locked.fileName()).isWritable()) {
            QVERIFY(prompts::saveRefusal(locked.fileName()).value_or("").contains("sólo lectura"));
        }
    }

    void readNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("leading blanks") << "   2.5" << 2.5;
        // People type either point, whatever the locale.
        QTest::newRow("comma") << "2,5" << 2.5;
        QTest::newRow("comma, no leading digit") << ",5" << 0.5;
        QTest::newRow("negative with comma") << " -0,25 V" << -0.25;
        QTest::newRow("comma then exponent") << "1,5e3" << 1500.0;
        QTest::newRow("lone comma") << "," << 0.0;
        QTest::newRow("second separator stops") << "1,2.3" << 1.2;
        QTest::newRow("a thousands group is not read") << "1.000,5" << 1.0;
        QTest::newRow("no leading digit") << ".5" << 0.5;
        QTest::newRow("negative") << "-1.25abc" << -1.25;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("exponent") << "1.5E3" << 1500.0;
        QTest::newRow("exponent without digits") << "2e" << 2.0;
        QTest::newRow("exponent sign without digits") << "2e-x" << 2.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("underflow") << "1e-999" << 0.0;
        QTest::newRow("blank inside stops") << "1 2" << 1.0;
    }
    void readNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(::readNumber(text), expected);
    }

    void readNumberOverflowIsInfinite() {
        QVERIFY(std::isinf(::readNumber("1e999")));
        QVERIFY(::readNumber("-1e999") < 0);
        QVERIFY(std::isinf(::readNumber(QString(400, u'9'))));
    }

    void round16_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5 to even") << 2.5 << true << 2;
        QTest::newRow("3.5 to even") << 3.5 << true << 4;
        QTest::newRow("-2.5 to even") << -2.5 << true << -2;
        QTest::newRow("top rounds down") << 32767.4 << true << 32767;
        QTest::newRow("top half overflows") << 32767.5 << false << 0;
        QTest::newRow("bottom half stays") << -32768.5 << true << -32768;
        QTest::newRow("below bottom") << -32769.0 << false << 0;
        QTest::newRow("NaN") << std::nan("") << false << 0;
        QTest::newRow("+inf") << std::numeric_limits<double>::infinity() << false << 0;
        QTest::newRow("huge") << 1e300 << false << 0;
    }
    void round16() {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(int, expected);
        const auto r = Round16(value);
        QCOMPARE(r.has_value(), fits);
        if (fits) QCOMPARE(int(*r), expected);
    }

    void round32() {
        QCOMPARE(*Round32(100001.5), 100002);
        QVERIFY(!Round32(2147483647.5));
        QCOMPARE(*Round32(-2147483648.0), std::numeric_limits<int32_t>::min());
        QVERIFY(!Round32(std::nan("")));
    }

    void patterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("value200");  // ##0.00
        QTest::addColumn<QString>("output");    // #0.0##
        QTest::addColumn<QString>("axis");      // ##0.0#
        QTest::newRow("0") << 0.0 << "0.00"
                           << "0.0"
                           << "0.0";
        QTest::newRow("2.5") << 2.5 << "2.50"
                             << "2.5"
                             << "2.5";
        QTest::newRow("1.25") << 1.25 << "1.25"
                              << "1.25"
                              << "1.25";
        QTest::newRow("-3") << -3.0 << "-3.00"
                            << "-3.0"
                            << "-3.0";
        QTest::newRow("0.1234") << 0.1234 << "0.12"
                                << "0.123"
                                << "0.12";
        QTest::newRow("1234.5678") << 1234.5678 << "1234.57"
                                   << "1234.568"
                                   << "1234.57";
        QTest::newRow("tiny negative") << -0.0001 << "0.00"
                                       << "0.0"
                                       << "0.0";
        QTest::newRow("rounds up to integer") << 9.999 << "10.00"
                                              << "9.999"
                                              << "10.0";
    }
    void patterns() {
        QFETCH(double, value);
        QFETCH(QString, value200);
        QFETCH(QString, output);
        QFETCH(QString, axis);
        QCOMPARE(formatValue(value), value200);
        QCOMPARE(formatOutput(value), output);
        QCOMPARE(FormatAxisValue(value), axis);
    }

    void patternsUseLocaleSeparator() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        QCOMPARE(formatValue(2.5), QString("2,50"));
        QCOMPARE(formatOutput(-0.125), QString("-0,125"));
        QCOMPARE(FormatAxisValue(1234.5), QString("1234,5"));  // no group separator
        // Plain numbers keep the point whatever the locale.
        QCOMPARE(::plainNumber(0.5f), QString(".5"));
    }

    void plainNumber_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("half") << 0.5f << ".5";
        QTest::newRow("-.25") << -0.25f << "-.25";
        QTest::newRow("tenth of a single") << 0.1f << ".1";
        QTest::newRow("third") << 1.0f / 3.0f << ".3333333";
        QTest::newRow("seven digits") << 1234567.0f << "1234567";
        QTest::newRow("just below exponent") << 9999999.0f << "9999999";
        QTest::newRow("exponent from 1E7") << 1.0e7f << "1E+07";
        QTest::newRow("speed of light") << 2.9997e8f << "2.9997E+08";
        QTest::newRow("negative exponent form") << -1.5e9f << "-1.5E+09";
        QTest::newRow("rounding reaches 1E7") << 9999999.6f << "1E+07";
        QTest::newRow("smallest fixed") << 0.0001f << ".0001";
        QTest::newRow("small exponent") << 0.00001f << "1E-05";
        QTest::newRow("accumulated single") << 0.1f + 0.2f << ".3";
    }
    void plainNumber() {
        QFETCH(float, value);
        QFETCH(QString, expected);
        QCOMPARE(::plainNumber(value), expected);
    }

    void colours() {
        QCOMPARE(toQColor(255 + 65536 * 128), QColor(255, 0, 128));
        QCOMPARE(fromQColor(QColor(1, 2, 3)), 1 + 256 * 2 + 65536 * 3);
        // Bits above the three colour bytes (system colour flags) are ignored.
        QCOMPARE(toQColor(int32_t(0x80000005u)), QColor(5, 0, 0));
    }

    void twips() {
        // The designed forms assume 96 DPI: 15 twips to the pixel.
        const double per = twipsPerPixelX();
        QCOMPARE(twipsToPixelsX(per * 37), 37);
        QCOMPARE(pixelsToTwipsY(-3), twipsPerPixelY() * -3);
        QCOMPARE(twipsToPixelsX(std::nan("")), 0);
        QVERIFY(twipsToPixelsY(1e300) > 0);
    }
};

QTEST_MAIN(TstCommon)
#include "tst_common.moc"
