// SPDX-License-Identifier: GPL-3.0-or-later
// Reading recordings back: both formats, every kind of damage, files that
// grow or are replaced while they are followed, and never a write.
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "common/log_format.h"
#include "common/recording_file.h"

namespace {

const QByteArray kHeader = QByteArray(kLogHeader) + "\r\n";

void writeFile(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = {}) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | mode));
    f.write(bytes);
}

}  // namespace

class TstRecordingFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void bothFormatsAndDamage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("problem");  // a part of the message; empty: none
        const int data = int(RecordingFormat::DataFile), log = int(RecordingFormat::Log);
        QTest::newRow("data file")
            << QByteArray("0,.5,-.25,100,1E-05,0\r\n100,1,2,3,4,2048\r\n") << 2 << data << "";
        QTest::newRow("data file, exponent times")
            << QByteArray("2.9997E+08,1,2,3,4,5\r\n3E+08,1,2,3,4,5\r\n") << 2 << data << "";
        QTest::newRow("data file, LF only, blank line")
            << QByteArray("0,1,1,1,1,1\n\n100,1,1,1,1,1\n") << 2 << data << "";
        QTest::newRow("data file, last line cut")
            << QByteArray("0,1,1,1,1,1\r\n100,1,1,1,1,1\r\n200,1,1") << 2 << data
            << "La línea 3 está cortada";
        QTest::newRow("data file, non-number")
            << QByteArray("0,1,1,1,1,1\r\n100,1,abc,1,1,1\r\n200,1,1,1,1,1\r\n") << 1 << data
            << "línea 2: el campo 3 no es un número";
        QTest::newRow("data file, field missing") << QByteArray("0,1,1,1,1,1\r\n100,1,1,1,1\r\n")
                                                  << 1 << data << "línea 2: faltan campos (5 de 6)";
        QTest::newRow("data file, field too many")
            << QByteArray("0,1,1,1,1,1,1\r\n") << 0 << data << "línea 1: sobran campos";
        QTest::newRow("data file, time goes back") << QByteArray("100,1,1,1,1,1\r\n0,1,1,1,1,1\r\n")
                                                   << 1 << data << "línea 2: el tiempo retrocede";
        QTest::newRow("data file, not finite")
            << QByteArray("0,nan,1,1,1,1\r\n") << 0 << data << "línea 1: el campo 2";
        QTest::newRow("unknown header")
            << QByteArray("fecha;valor\r\n0,1,1,1,1,1\r\n") << 0 << int(RecordingFormat::Unknown)
            << "línea 1: la cabecera no es la de un registro de kalmor";
        QTest::newRow("binary") << QByteArray(
                                       "\x7f"
                                       "ELF\x02\x01\x01\x00\x00\x00\r\n",
                                       12)
                                << 0 << int(RecordingFormat::Unknown) << "no son texto";
        QTest::newRow("binary without line ends")
            << QByteArray(5000, '\x01') << 0 << int(RecordingFormat::Unknown) << "no son texto";
        QTest::newRow("empty") << QByteArray() << 0 << int(RecordingFormat::Unknown)
                               << "El fichero está vacío";
        QTest::newRow("log") << kHeader + "1,1,.1003,.5,1,2,3,4095\r\n1,2,.2,0,0,0,0,0\r\n"
                             << 2 << log << "";
        QTest::newRow("log, header only") << kHeader << 0 << log << "aún no tiene muestras";
        QTest::newRow("log, last line cut")
            << kHeader + "1,1,.1,0,0,0,0,0\r\n1,2,.2,0" << 1 << log << "La línea 3 está cortada";
        QTest::newRow("log, sweep not a whole number")
            << kHeader + "1,1,.1,0,0,0,0,0\r\n1.5,2,.2,0,0,0,0,0\r\n"
            << 1 << log << "línea 3: el barrido o la muestra";
        QTest::newRow("log, value not a number") << kHeader + "1,1,.1,0,0,x,0,0\r\n"
                                                 << 0 << log << "línea 2: el campo 6";
        QTest::newRow("log, data-file line") << kHeader + "0,1,1,1,1,1\r\n"
                                             << 0 << log << "línea 2: faltan campos (6 de 8)";
        QTest::newRow("log, header twice")
            << kHeader + kHeader << 0 << log << "línea 2: el barrido o la muestra";
    }
    void bothFormatsAndDamage() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(int, format);
        QFETCH(QString, problem);
        const QString path = dir_.filePath(QStringLiteral("damaged.csv"));
        writeFile(path, bytes, QIODevice::Truncate);
        // Read-only on disk too: reading must not need more.
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        RecordingFile file(path);
        file.update();
        QVERIFY(file.opened());
        QCOMPARE(int(file.data().size()), rows);
        QCOMPARE(int(file.data().format), format);
        if (problem.isEmpty()) {
            QCOMPARE(file.problem(), QString());
        } else {
            QVERIFY2(file.problem().contains(problem), qPrintable(file.problem()));
        }
        for (const auto& column : file.data().values) QCOMPARE(int(column.size()), rows);
        // Nothing was written.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        // The same text in pieces of every size gives the same samples.
        for (size_t piece : {size_t(1), size_t(3), size_t(7)}) {
            RecordingParser p;
            std::string pending;
            for (qsizetype at = 0; at < bytes.size(); at += qsizetype(piece)) {
                pending.append(bytes.constData() + at,
                               size_t(std::min<qsizetype>(qsizetype(piece), bytes.size() - at)));
                pending.erase(0, p.feed(pending));
            }
            p.noteRest(pending);
            QCOMPARE(p.data().seconds, file.data().seconds);
            QCOMPARE(p.data().values, file.data().values);
            QCOMPARE(p.problem(), file.problem());
        }
    }

    void valuesAndUnits() {
        const QString path = dir_.filePath(QStringLiteral("values.DAT"));
        writeFile(path, "0,.5,-.25,100,1E-05,0\r\n2.9997E+08,1,2,3,4,4095\r\n");
        RecordingFile data(path);
        data.update();
        QCOMPARE(data.data().seconds, (std::vector<double>{0.0, 299970.0}));
        QCOMPARE(data.data().values[1][0], -0.25f);
        QCOMPARE(data.data().values[3][0], 1e-5f);
        QCOMPARE(data.data().values[4][1], 4095.0f);

        const QString logPath = dir_.filePath(QStringLiteral("values.csv"));
        writeFile(logPath, kHeader + "3,17,86399.1234,1.5,0,0,0,7\r\n");
        RecordingFile log(logPath);
        log.update();
        QCOMPARE(log.data().seconds, std::vector<double>{86399.1234});
        QCOMPARE(log.data().values[0][0], 1.5f);
    }

    void missingFileAndFolder() {
        for (const QString& path : {dir_.filePath("absent.csv"), dir_.path()}) {
            RecordingFile file(path);
            QVERIFY(!file.update());
            QVERIFY(!file.opened());
            QVERIFY(file.problem().startsWith("No se puede abrir el fichero"));
        }
        QVERIFY(!QFileInfo::exists(dir_.filePath("absent.csv")));
    }

    void followsGrowthAndReplacement() {
        const QString path = dir_.filePath(QStringLiteral("growing.csv"));
        writeFile(path, kHeader + "1,1,.1,1,1,1,1,1\r\n1,2,.2,");
        RecordingFile file(path);
        QVERIFY(file.update());
        QCOMPARE(int(file.data().size()), 1);
        QVERIFY(!file.update());  // nothing new

        writeFile(path, "2,2,2,2,2\r\n1,3,.3,3,3,3,3,3\r\n", QIODevice::Append);
        QVERIFY(file.update());
        QCOMPARE(file.data().seconds, (std::vector<double>{0.1, 0.2, 0.3}));
        QCOMPARE(file.problem(), QString());

        // The data file is replaced whole at each sweep's end.
        const QString other = dir_.filePath(QStringLiteral("replacement"));
        writeFile(other, "0,9,9,9,9,9\r\n");
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(other, path));
        QVERIFY(file.update());
        QCOMPARE(file.data().seconds, std::vector<double>{0.0});
        QCOMPARE(int(file.data().format), int(RecordingFormat::DataFile));
    }
};

QTEST_GUILESS_MAIN(TstRecordingFile)
#include "tst_recording_file.moc"
