// SPDX-License-Identifier: GPL-3.0-or-later
// The hardware the library reaches, always in sight: the captions and the
// start-up warning from the library's account, and the main window's title
// and status field on the real library and on stand-ins that answer what a
// test sets.
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>

#include "common/prompts.h"
#include "common/title.h"
#include "core/library_backend.h"
#include "core/tavo_library.h"
#include "test_program.h"
#include "windows/frm_control.h"

namespace {

LibraryBackend known(int32_t backend, int32_t reason, const char* device = "", int32_t base = 0,
                     int32_t error = 0) {
    LibraryBackend b;
    b.state = LibraryBackend::State::Known;
    b.info.backend = backend;
    b.info.reason = reason;
    b.info.base = base;
    b.info.error = error;
    std::snprintf(b.info.device, sizeof b.info.device, "%s", device);
    return b;
}

LibraryBackend inState(LibraryBackend::State state) {
    LibraryBackend b;
    b.state = state;
    return b;
}

}  // namespace

Q_DECLARE_METATYPE(LibraryBackend)

class TstBackend : public QObject {
    Q_OBJECT

    QTemporaryDir workDir_;
    QString previousDir_;
    QList<MessageRequest> messages_;

    // The program started in an empty folder on the library in folder
    // (empty: the real one beside the tests), the stand-in answering answer.
    std::unique_ptr<TestProgram> start(const char* folder, const QByteArray& answer) {
        qputenv("KALMOR_STANDIN_BACKEND", answer);
        auto ctx = std::make_unique<TestProgram>();
        if (*folder)
            ctx->library().setSearch(QCoreApplication::applicationDirPath() + '/' + folder, false);
        ctx->frmControl();
        return ctx;
    }

  private slots:
    void initTestCase() { QVERIFY(workDir_.isValid()); }
    void init() {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r; });
    }
    void cleanup() {
        prompts::setMessageHook({});
        qunsetenv("KALMOR_STANDIN_BACKEND");
        QDir::setCurrent(previousDir_);
    }

    void captionsAndWarnings_data() {
        QTest::addColumn<LibraryBackend>("backend");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("warns");  // a part of the warning; empty: none
        using State = LibraryBackend::State;
        QTest::newRow("no port") << known(TAVO32_BACKEND_SIM, TAVO32_REASON_NO_PORT)
                                 << "Banco simulado (no hay puerto paralelo)"
                                 << "";
        QTest::newRow("port found")
            << known(TAVO32_BACKEND_PPDEV, TAVO32_REASON_PORT_FOUND, "/dev/parport0", 0x378)
            << "Puerto /dev/parport0 (378H)"
            << "";
        QTest::newRow("forbidden") << known(TAVO32_BACKEND_SIM, TAVO32_REASON_PORT_FORBIDDEN,
                                            "/dev/parport0", 0x378, EACCES)
                                   << "Banco simulado (sin permiso para abrir /dev/parport0)"
                                   << "añada su usuario al grupo lp (sudo adduser $USER lp)";
        QTest::newRow("busy") << known(TAVO32_BACKEND_SIM, TAVO32_REASON_PORT_BUSY, "/dev/parport1",
                                       0x278, EBUSY)
                              << "Banco simulado (/dev/parport1 ocupado por otro programa)"
                              << "está ocupado por otro programa";
        QTest::newRow("failed") << known(TAVO32_BACKEND_SIM, TAVO32_REASON_PORT_FAILED,
                                         "/dev/parport0", 0x378, ENOENT)
                                << "Banco simulado (no se puede abrir /dev/parport0)"
                                << "No se puede abrir el puerto paralelo /dev/parport0";
        QTest::newRow("elsewhere")
            << known(TAVO32_BACKEND_SIM, TAVO32_REASON_PORT_ELSEWHERE, "/dev/parport0", 0xD010)
            << "Banco simulado (/dev/parport0 está en D010H)"
            << "TAVO32_BACKEND=ppdev:/dev/parport0=378H";
        QTest::newRow("bench chosen")
            << known(TAVO32_BACKEND_SIM, TAVO32_REASON_CHOSEN) << "Banco simulado"
            << "";
        QTest::newRow("bench file") << known(TAVO32_BACKEND_SIM, TAVO32_REASON_CHOSEN, "lab.bench")
                                    << "Banco simulado (lab.bench)"
                                    << "";
        QTest::newRow("ppdev chosen")
            << known(TAVO32_BACKEND_PPDEV, TAVO32_REASON_CHOSEN) << "Puertos paralelos (ppdev)"
            << "";
        QTest::newRow("loopback") << known(TAVO32_BACKEND_DRIVER, TAVO32_REASON_CHOSEN, "loopback")
                                  << "Controlador de prueba (loopback)"
                                  << "";
        QTest::newRow("none") << known(TAVO32_BACKEND_NONE, TAVO32_REASON_CHOSEN)
                              << "Sin hardware (TAVO32_BACKEND=none)"
                              << "";
        QTest::newRow("bad value")
            << known(TAVO32_BACKEND_NONE, TAVO32_REASON_UNKNOWN_VALUE, "parallel")
            << "Sin hardware (TAVO32_BACKEND=parallel no es válido)"
            << "";
        QTest::newRow("no library") << inState(State::NoLibrary) << "Sin biblioteca TAVO_32"
                                    << "";
        QTest::newRow("no account") << inState(State::NoReport) << "Acceso al hardware desconocido"
                                    << "";
    }
    void captionsAndWarnings() {
        QFETCH(LibraryBackend, backend);
        QFETCH(QString, caption);
        QFETCH(QString, warns);
        QCOMPARE(backendCaption(backend), caption);
        const QString warning = backendWarning(backend);
        if (warns.isEmpty()) {
            QCOMPARE(warning, QString());
        } else {
            QVERIFY2(warning.contains(warns), qPrintable(warning));
            QVERIFY2(warning.contains(QStringLiteral("banco simulado")), qPrintable(warning));
        }
    }

    // The title and the permanent status field name the backend; a port that
    // is there but could not be had is also told once, at start-up.
    void windowNamesTheBackend_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("warns");
        QTest::newRow("real library, bench chosen") << "" << QByteArray() << "Banco simulado"
                                                    << "";
        QTest::newRow("forbidden port") << "standin" << QByteArray("1 3 13 0x378 /dev/parport0")
                                        << "Banco simulado (sin permiso para abrir /dev/parport0)"
                                        << "grupo lp";
        QTest::newRow("port found")
            << "standin" << QByteArray("2 1 0 0x378 /dev/parport0") << "Puerto /dev/parport0 (378H)"
            << "";
        QTest::newRow("no port") << "standin" << QByteArray("1 2")
                                 << "Banco simulado (no hay puerto paralelo)"
                                 << "";
        QTest::newRow("library without the extension")
            << "standin-partial" << QByteArray() << "Acceso al hardware desconocido"
            << "";
    }
    void windowNamesTheBackend() {
        QFETCH(QString, folder);
        QFETCH(QByteArray, answer);
        QFETCH(QString, caption);
        QFETCH(QString, warns);
        auto ctx = start(qPrintable(folder), answer);
        FrmControl* w = ctx->frmControl();
        QCOMPARE(w->windowTitle(), appTitle() + QStringLiteral(" — ") + caption);
        QCOMPARE(w->Lbl_acceso->text(), caption);
        QCOMPARE(w->Lbl_acceso->parentWidget(), w->statusBar());
        // A message in the status bar leaves the field where it is.
        w->statusBar()->showMessage(QStringLiteral("No se pudo grabar DATOS.DAT: disco lleno"));
        QCOMPARE(w->Lbl_acceso->text(), caption);
        // Start-up's own message (no Config.CFG here) aside, the warning, once.
        int warnings = 0;
        for (const MessageRequest& m : messages_)
            if (m.text.contains(QStringLiteral("banco simulado"))) {
                ++warnings;
                QVERIFY2(m.text.contains(warns), qPrintable(m.text));
                QCOMPARE(m.icon, QMessageBox::Warning);
            }
        QCOMPARE(warnings, warns.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TstBackend)
#include "tst_backend.moc"
