// SPDX-License-Identifier: GPL-3.0-or-later
// The data file's text: exact number text in any locale, and lines only for
// the samples taken.
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <clocale>

#include "acquisition/data_file.h"
#include "acquisition/sweep_buffer.h"

namespace {

void setSample(SweepBuffer& b, int sample, std::array<float, 5> values) {
    for (int row = 0; row < 5; ++row) b.at(row, sample) = values[static_cast<size_t>(row)];
}

}  // namespace

class TstDataFile : public QObject {
    Q_OBJECT

    QTemporaryDir locales_;

    // A Spanish locale for the C library too, built into a folder of our own
    // when the system has none.
    bool useSpanishLocale() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        if (std::setlocale(LC_ALL, "es_ES.UTF-8")) return true;
        QProcess::execute("localedef",
                          {"-i", "es_ES", "-f", "UTF-8", locales_.filePath("es_ES.UTF-8")});
        qputenv("LOCPATH", locales_.path().toLocal8Bit());
        return std::setlocale(LC_ALL, "es_ES.UTF-8") != nullptr;
    }

  private slots:
    void linesInAnyLocale_data() {
        QTest::addColumn<bool>("spanish");
        QTest::newRow("C") << false;
        QTest::newRow("es_ES.UTF-8") << true;
    }
    void linesInAnyLocale() {
        QFETCH(bool, spanish);
        if (spanish && !useSpanishLocale()) QSKIP("no Spanish locale can be built here");
        SweepBuffer b;
        b.resize(10002);
        setSample(b, 1, {0.5f, -0.25f, 100.0f, 1e-5f, 0.0f});
        setSample(b, 3, {1.5f, 0.0f, 0.0f, 0.0f, 2048.0f});
        const QByteArray text = dataFileText(b, 4, 100);
        QCOMPARE(text, QByteArray("0,.5,-.25,100,1E-05,0\r\n"
                                  "100,0,0,0,0,0\r\n"
                                  "200,1.5,0,0,0,2048\r\n"));
        QVERIFY(dataFileText(b, 10001, 30000).endsWith("\r\n2.9997E+08,0,0,0,0,0\r\n"));
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }

    // Nothing before the present sample: no line; a counter past the buffer
    // stops at its end.
    void linesOnlyForTakenSamples() {
        SweepBuffer b;
        b.resize(5);
        QCOMPARE(dataFileText(b, 0, 100), QByteArray());
        QCOMPARE(dataFileText(b, 1, 100), QByteArray());
        QCOMPARE(dataFileText(b, 50, 100).count("\r\n"), 4);
    }
};

QTEST_MAIN(TstDataFile)
#include "tst_data_file.moc"
