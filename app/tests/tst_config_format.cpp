// SPDX-License-Identifier: GPL-3.0-or-later
// Fields and lines of the configuration file, without windows.
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

#include "config/config_file_format.h"
#include "config/windows_1252.h"

using namespace config_format;

namespace {
Field plain(const QString& text) {
    return Field{text, false};
}
}  // namespace

class TstConfigFormat : public QObject {
    Q_OBJECT
  private slots:
    void splitLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        // Fields joined with "|", a quoted one marked with a leading "q:".
        QTest::addColumn<QString>("fields");
        QTest::newRow("first line")
            << "2,100,50,888,0,0,1,\"V\"" << true << "2|100|50|888|0|0|1|q:V";
        QTest::newRow("comma inside quotes") << "\"a,b\",1" << true << "q:a,b|1";
        QTest::newRow("empty quoted text") << "\"\"" << true << "q:";
        QTest::newRow("blanks around fields") << " 1 , 2 ,\"x y\" " << true << "1|2|q:x y";
        QTest::newRow("trailing comma") << "1," << true << "1|";
        QTest::newRow("quote never closed") << "\"abc,1" << false << "";
        QTest::newRow("text after closing quote") << "\"a\"x,1" << false << "";
    }
    void splitLine() {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(QString, fields);
        const auto result = config_format::splitLine(line);
        QCOMPARE(result.has_value(), valid);
        if (!valid) return;
        QStringList shown;
        for (const Field& f : *result) shown << (f.quoted ? "q:" + f.text : f.text);
        QCOMPARE(shown.join('|'), fields);
    }

    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("quoted");
        QTest::addColumn<bool>("fits16");
        QTest::addColumn<int>("value16");
        QTest::addColumn<bool>("fits32");
        QTest::addColumn<int>("value32");
        QTest::newRow("plain") << "888" << false << true << 888 << true << 888;
        QTest::newRow("negative") << "-3" << false << true << -3 << true << -3;
        QTest::newRow("true flag") << "#TRUE#" << false << true << -1 << true << -1;
        QTest::newRow("half to even down") << "2.5" << false << true << 2 << true << 2;
        QTest::newRow("half to even up") << "3.5" << false << true << 4 << true << 4;
        QTest::newRow("exponent") << "1E3" << false << true << 1000 << true << 1000;
        QTest::newRow("beyond 16 bits") << "40000" << false << false << 0 << true << 40000;
        QTest::newRow("colour") << "16777215" << false << false << 0 << true << 16777215;
        QTest::newRow("32-bit bottom")
            << "-2147483648" << false << false << 0 << true << std::numeric_limits<int>::min();
        QTest::newRow("beyond 32 bits") << "2147483648" << false << false << 0 << false << 0;
        QTest::newRow("huge") << "1e400" << false << false << 0 << false << 0;
        QTest::newRow("word") << "abc" << false << false << 0 << false << 0;
        QTest::newRow("quoted number") << "12" << true << false << 0 << false << 0;
        QTest::newRow("trailing junk") << "12x" << false << false << 0 << false << 0;
        QTest::newRow("infinity word") << "inf" << false << false << 0 << false << 0;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, quoted);
        QFETCH(bool, fits16);
        QFETCH(int, value16);
        QFETCH(bool, fits32);
        QFETCH(int, value32);
        const Field field{text, quoted};
        const auto v16 = toInt16(field);
        QCOMPARE(v16.has_value(), fits16);
        if (fits16) QCOMPARE(int(*v16), value16);
        const auto v32 = toInt32(field);
        QCOMPARE(v32.has_value(), fits32);
        if (fits32) QCOMPARE(int(*v32), value32);
    }

    void reals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<float>("value");
        QTest::newRow("whole") << "1" << true << 1.0f;
        QTest::newRow("fraction") << "2.5" << true << 2.5f;
        QTest::newRow("exponent") << "1E+30" << true << 1e30f;
        QTest::newRow("largest single")
            << "3.4028235E+38" << true << std::numeric_limits<float>::max();
        QTest::newRow("below the smallest") << "1e-50" << true << 0.0f;
        QTest::newRow("flag") << "#TRUE#" << true << -1.0f;
        QTest::newRow("beyond a single") << "1e40" << false << 0.0f;
        QTest::newRow("beyond a double") << "1e400" << false << 0.0f;
        QTest::newRow("decimal comma") << "2,5" << false << 0.0f;
    }
    void reals() {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QFETCH(float, value);
        const auto v = toReal(plain(text));
        QCOMPARE(v.has_value(), fits);
        if (fits) QCOMPARE(*v, value);
    }

    void realText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1.0f << "1";
        QTest::newRow("two and a half") << 2.5f << "2.5";
        QTest::newRow("thousandth") << 0.001f << "0.001";
        QTest::newRow("negative") << -4.095f << "-4.095";
        QTest::newRow("large") << 1e30f << "1E+30";
        QTest::newRow("tiny") << 1e-7f << "1E-07";
    }
    void realText() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(realField(value), text);
    }

    // Every single written reads back as the very same single.
    void realRoundTrip() {
        int checked = 0;
        for (uint64_t bits = 1; bits < 0x100000000ull; bits += 0x10001ull * 97) {
            const uint32_t b = static_cast<uint32_t>(bits);
            float f;
            std::memcpy(&f, &b, sizeof f);
            if (!std::isfinite(f)) continue;
            const QString text = realField(f);
            const auto back = toReal(plain(text));
            QVERIFY2(back.has_value(), qPrintable(text));
            QVERIFY2(std::memcmp(&*back, &f, sizeof f) == 0 || (f == 0 && *back == 0),
                     qPrintable(text));
            ++checked;
        }
        QVERIFY(checked > 500);
    }

    void windows1252_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("ASCII") << "V" << QByteArray("V") << "V";
        QTest::newRow("Latin-1 range")
            << QStringLiteral("ñ°µ") << QByteArray("\xF1\xB0\xB5") << QStringLiteral("ñ°µ");
        QTest::newRow("code page's own")
            << QStringLiteral("€‰Ÿ") << QByteArray("\x80\x89\x9F") << QStringLiteral("€‰Ÿ");
        QTest::newRow("undefined byte kept")
            << QString(QChar(0x81)) << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("not held") << QStringLiteral("Ω√") << QByteArray("??") << "??";
        QTest::newRow("control it maps elsewhere")
            << QString(QChar(0x80)) << QByteArray("?") << "?";
        QTest::newRow("beyond 16 bits, one ?")
            << QString::fromUcs4(U"a\U0001F600b") << QByteArray("a?b") << "a?b";
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?") << "?";
    }
    void windows1252() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        QCOMPARE(toWindows1252(text), bytes);
        QCOMPARE(fromWindows1252(bytes), readBack);
    }

    void fileTextIsUtf8OnlyWhenValid() {
        QCOMPARE(decodeConfigurationText("\xC2\xB0"
                                         "C"),
                 QStringLiteral("°C"));
        QCOMPARE(decodeConfigurationText("\xB0"
                                         "C"),
                 QStringLiteral("°C"));
        QCOMPARE(decodeConfigurationText("\x80 \xC2"), QStringLiteral("€ Â"));
        QCOMPARE(splitFileLines("\"\x93"
                                "a\x94\"\r\nb\r\n"),
                 (QStringList{QStringLiteral("\"“a”\""), "b"}));
    }

    void textForms() {
        QCOMPARE(textField("mm \"Hg\""), QString("\"mm 'Hg'\""));
        QCOMPARE(textField("a\r\nb"), QString("\"a  b\""));
        // What is written is read back as written.
        const auto fields = config_format::splitLine(
            QStringList{intField(2), realField(2.5f), textField("a,\"b\""), flagField(true)}.join(
                ','));
        QVERIFY(fields.has_value());
        FieldCursor cursor(*fields);
        QCOMPARE(cursor.nextInt16().value(), int16_t(2));
        QCOMPARE(cursor.nextReal().value(), 2.5f);
        QCOMPARE(cursor.nextText().value(), QString("a,'b'"));
        QCOMPARE(cursor.nextInt16().value(), int16_t(-1));
        QVERIFY(cursor.atEnd());
        QVERIFY(!cursor.nextInt16().has_value());
    }
};

QTEST_GUILESS_MAIN(TstConfigFormat)
#include "tst_config_format.moc"
