// SPDX-License-Identifier: GPL-3.0-or-later
// kalmor's command line, run as the built program: --help and --version
// print Spanish texts and end at once, without a window or a display; any
// other word still names the configuration file.
#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include "common/command_line.h"

class TstCommandLine : public QObject {
    Q_OBJECT

  private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("starts");  // empty: not answered, a file name
        QTest::newRow("--help") << QStringList{"--help"} << "Uso: kalmor [FICHERO]\n";
        QTest::newRow("-h") << QStringList{"-h"} << "Uso: kalmor [FICHERO]\n";
        QTest::newRow("--version") << QStringList{"--version"} << "kalmor " KALMOR_VERSION "\n";
        QTest::newRow("-V") << QStringList{"-V"} << "kalmor " KALMOR_VERSION "\n";
        QTest::newRow("file") << QStringList{"Config.CFG"} << "";
        QTest::newRow("help among others") << QStringList{"--help", "x"} << "";
        QTest::newRow("near miss") << QStringList{"--helpme"} << "";
        QTest::newRow("nothing") << QStringList{} << "";
    }
    void answers() {
        QFETCH(QStringList, words);
        QFETCH(QString, starts);
        std::vector<std::string> plain;
        for (const QString& w : words) plain.push_back(w.toStdString());
        const auto answer = commandLineAnswer(plain);
        QCOMPARE(answer.has_value(), !starts.isEmpty());
        if (answer) QVERIFY(QString::fromStdString(*answer).startsWith(starts));
    }

    // The program itself: no display needed, nothing on stderr, status 0.
    void programPrintsAndEnds_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("contains");
        QTest::newRow("help") << "--help"
                              << "muestra la versión y termina";
        QTest::newRow("version") << "--version"
                                 << "GPL-3.0-or-later";
    }
    void programPrintsAndEnds() {
        QFETCH(QString, word);
        QFETCH(QString, contains);
        QProcess kalmor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        kalmor.setProcessEnvironment(env);
        kalmor.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kalmor"), {word});
        QVERIFY(kalmor.waitForFinished(20000));
        QCOMPARE(kalmor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kalmor.exitCode(), 0);
        QCOMPARE(kalmor.readAllStandardError(), QByteArray());
        const QString out = QString::fromUtf8(kalmor.readAllStandardOutput());
        QVERIFY2(out.contains(contains), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TstCommandLine)
#include "tst_command_line.moc"
