// SPDX-License-Identifier: GPL-3.0-or-later
// Binding of TAVO_32 at run time, against the stand-in libraries built beside
// the tests (bin/standin complete, bin/standin-partial without
// Escribir_Ad8b32) and against a folder that holds no library at all.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/prompts.h"
#include "common/title.h"
#include "core/tavo_library.h"
#include "test_program.h"

class TstLibrary : public QObject {
    Q_OBJECT

    QList<MessageRequest> messages_;
    QTemporaryDir scratch_;
    QString logPath_;

    static QString binFolder(const char* name) {
        return QCoreApplication::applicationDirPath() + '/' + name;
    }
    QStringList loggedCalls() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

  private slots:
    void init() {
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r; });
        logPath_ =
            scratch_.filePath(QStringLiteral("calls-%1.log").arg(QTest::currentTestFunction()));
        QFile::remove(logPath_);
        qputenv("KALMOR_STANDIN_LOG", logPath_.toLocal8Bit());
    }
    void cleanup() {
        prompts::setMessageHook({});
        qunsetenv("KALMOR_STANDIN_LOG");
    }

    // Every bound export receives its arguments in the right order and
    // width, and its outputs and result come back unchanged.
    void everyExportPassesArgumentsAndResults() {
        TavoLibrary lib(binFolder("standin"), false);
        lib.setProblemTeller(prompts::tellLibraryProblem);
        int16_t port = 0, addr = 3;
        QCOMPARE(lib.Autodeteccion_Dig32(&port, &addr), std::optional<int16_t>(0));
        QCOMPARE(port, int16_t(0x378));
        QCOMPARE(addr, int16_t(1));
        QCOMPARE(lib.Escribir_Dig32(200, 888, 7), std::optional<int16_t>(0));
        QCOMPARE(lib.Leer_Dig32(632, 2), std::optional<int16_t>(0xA5));
        port = 956;
        addr = 0;
        QCOMPARE(lib.Autodeteccion_Ad8b32(&port, &addr), std::optional<int16_t>(0));
        QCOMPARE(port, int16_t(0x278));
        QCOMPARE(lib.Poner_Modo_Ad8b32(3, 888, 5), std::optional<int16_t>(0));
        int16_t c[4] = {-1, -1, -1, -1};
        QCOMPARE(lib.Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 888, 5), std::optional<int16_t>(0));
        QCOMPARE(c[0], int16_t(11));
        QCOMPARE(c[3], int16_t(44));
        QCOMPARE(lib.Escribir_Ad8b32(255, 888, 0), std::optional<int16_t>(0));
        port = 0;
        addr = 0;
        QCOMPARE(lib.Autodeteccion_Cont32(&port, &addr), std::optional<int16_t>(0));
        QCOMPARE(port, int16_t(0x3BC));
        QCOMPARE(lib.Escribir_Cuenta32(1234567, 888, 1), std::optional<int16_t>(0));
        QCOMPARE(lib.Parar_Contaje32(888, 1), std::optional<int16_t>(0));
        QCOMPARE(lib.Activar_Contaje32(632, 0), std::optional<int16_t>(0));
        QCOMPARE(lib.Parar_Alarma32(888, 0), std::optional<int16_t>(0));
        QCOMPARE(lib.Activar_Alarma32(888, 1), std::optional<int16_t>(0));
        QCOMPARE(lib.Escribir_Alarma32(999999, 956, 1), std::optional<int16_t>(0));
        QCOMPARE(lib.Leer_Cuenta32(888, 0), std::optional<int32_t>(987654));
        c[0] = c[1] = c[2] = c[3] = -1;
        QCOMPARE(lib.Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], 888, 2, 1, 0),
                 std::optional<int16_t>(0));
        QCOMPARE(c[1], int16_t(22));
        QCOMPARE(lib.Escribir_Ad12r32(-1, 888, 1), std::optional<int16_t>(0));

        const QStringList expected = {
            "Autodeteccion_Dig32 0 3",
            "Escribir_Dig32 200 888 7",
            "Leer_Dig32 632 2",
            "Autodeteccion_Ad8b32 956 0",
            "Poner_Modo_Ad8b32 3 888 5",
            "Leer_Ad8b32 888 5",
            "Escribir_Ad8b32 255 888 0",
            "Autodeteccion_Cont32 0 0",
            "Escribir_Cuenta32 1234567 888 1",
            "Parar_Contaje32 888 1",
            "Activar_Contaje32 632 0",
            "Parar_Alarma32 888 0",
            "Activar_Alarma32 888 1",
            "Escribir_Alarma32 999999 956 1",
            "Leer_Cuenta32 888 0",
            "Leer_Ad12r32 888 2 1 0",
            // A 16-bit value travels sign-extended in its 32-bit slot.
            "Escribir_Ad12r32 -1 888 1",
        };
        QCOMPARE(loggedCalls(), expected);
        QVERIFY(messages_.isEmpty());
        QVERIFY(lib.loadedFile().endsWith(QStringLiteral("standin/libTAVO_32.so")));
    }

    void missingLibraryDoesNothingAndIsToldOnce_data() {
        QTest::addColumn<QByteArray>("fileContent");
        QTest::addColumn<QString>("told");
        QTest::newRow("no file") << QByteArray() << QStringLiteral("No se encuentra");
        QTest::newRow("damaged file")
            << QByteArray("not a library") << QStringLiteral("No se puede cargar");
    }
    void missingLibraryDoesNothingAndIsToldOnce() {
        QFETCH(QByteArray, fileContent);
        QFETCH(QString, told);
        QTemporaryDir empty;
        if (!fileContent.isEmpty()) {
            QFile file(empty.filePath(TavoLibrary::libraryFileName()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(fileContent);
        }
        TavoLibrary lib(empty.path(), false);
        lib.setProblemTeller(prompts::tellLibraryProblem);
        QCOMPARE(lib.Escribir_Ad8b32(0, 888, 0), std::nullopt);
        int16_t c0 = 7, c1 = 7, c2 = 7, c3 = 7;
        QCOMPARE(lib.Leer_Ad8b32(&c0, &c1, &c2, &c3, 888, 0), std::nullopt);
        QCOMPARE(c0, int16_t(7));  // untouched: nothing was called
        QCOMPARE(lib.Leer_Cuenta32(888, 0), std::nullopt);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].title, appTitle());
        QVERIFY2(messages_[0].text.contains(TavoLibrary::libraryFileName()),
                 qPrintable(messages_[0].text));
        QVERIFY2(messages_[0].text.startsWith(told), qPrintable(messages_[0].text));
        QVERIFY(lib.loadedFile().isEmpty());
    }

    void missingNameDoesNothingAndIsToldOncePerName() {
        TavoLibrary lib(binFolder("standin-partial"), false);
        lib.setProblemTeller(prompts::tellLibraryProblem);
        QCOMPARE(lib.Escribir_Ad8b32(0, 888, 0), std::nullopt);
        QCOMPARE(lib.Escribir_Ad8b32(9, 888, 0), std::nullopt);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].title, appTitle());
        QVERIFY2(messages_[0].text.contains(QStringLiteral("Escribir_Ad8b32")),
                 qPrintable(messages_[0].text));
        // The rest of the library still works.
        QCOMPARE(lib.Poner_Modo_Ad8b32(1, 888, 0), std::optional<int16_t>(0));
        QCOMPARE(loggedCalls(), QStringList{"Poner_Modo_Ad8b32 1 888 0"});
        QCOMPARE(messages_.size(), 1);
    }

    // The sampling tick runs quiet: a failure there is not told, and the
    // first failure outside it still is.
    void quietScopeHoldsBackTheMessage() {
        QTemporaryDir empty;
        TavoLibrary lib(empty.path(), false);
        lib.setProblemTeller(prompts::tellLibraryProblem);
        {
            TavoLibrary::QuietScope quiet(lib);
            int16_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
            QCOMPARE(lib.Leer_Ad8b32(&c0, &c1, &c2, &c3, 888, 0), std::nullopt);
            QCOMPARE(lib.Leer_Ad8b32(&c0, &c1, &c2, &c3, 888, 0), std::nullopt);
        }
        QVERIFY(messages_.isEmpty());
        QCOMPARE(lib.Escribir_Ad8b32(0, 888, 0), std::nullopt);
        QCOMPARE(messages_.size(), 1);

        TavoLibrary partial(binFolder("standin-partial"), false);

        partial.setProblemTeller(prompts::tellLibraryProblem);
        {
            TavoLibrary::QuietScope quiet(partial);
            QCOMPARE(partial.Escribir_Ad8b32(0, 888, 0), std::nullopt);
        }
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(partial.Escribir_Ad8b32(0, 888, 0), std::nullopt);
        QCOMPARE(messages_.size(), 2);
    }

    // The binding itself shows nothing: without a teller a missing library
    // or name is only returned, and the teller set later hears of it once.
    void withoutATellerNothingIsShown() {
        QTemporaryDir empty;
        TavoLibrary lib(empty.path(), false);
        TavoLibrary partial(binFolder("standin-partial"), false);
        QStringList told;
        for (TavoLibrary* l : {&lib, &partial}) {
            QCOMPARE(l->Escribir_Ad8b32(0, 888, 0), std::nullopt);
            QVERIFY(messages_.isEmpty());
            l->setProblemTeller([&told](const QString& text) { told << text; });
            QCOMPARE(l->Escribir_Ad8b32(0, 888, 0), std::nullopt);
        }
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].startsWith(QStringLiteral("No se encuentra la biblioteca")),
                 qPrintable(told[0]));
        QVERIFY2(told[1].contains(QStringLiteral("Escribir_Ad8b32")), qPrintable(told[1]));
        QVERIFY(messages_.isEmpty());
    }

    // Pointing the binding at another folder forgets what was bound before.
    void setSearchRebinds() {
        QTemporaryDir empty;
        TavoLibrary lib(empty.path(), false);
        lib.setProblemTeller(prompts::tellLibraryProblem);
        QCOMPARE(lib.Escribir_Dig32(1, 888, 0), std::nullopt);
        lib.setSearch(binFolder("standin"), false);
        QCOMPARE(lib.Escribir_Dig32(1, 888, 0), std::optional<int16_t>(0));
        QCOMPARE(loggedCalls(), QStringList{"Escribir_Dig32 1 888 0"});
    }
};

QTEST_MAIN(TstLibrary)
#include "tst_library.moc"
