// SPDX-License-Identifier: GPL-3.0-or-later
// The recording viewer from the main window's menu: one window per file
// opened, damaged files of both kinds, a file that grows, channels in their
// colours, zoom, pan and "Ver todo", the readout, the image and the printer;
// and the log's menu entries.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "acquisition/sweep_log.h"
#include "common/log_format.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "display/plot_image.h"
#include "display/recording_canvas.h"
#include "test_program.h"
#include "windows/frm_control.h"
#include "windows/frm_visor.h"

namespace {

const QByteArray kHeader = QByteArray(kLogHeader) + "\r\n";

QByteArray logRows(int from, int to, float ch0 = 1.0f) {
    QByteArray rows;
    for (int i = from; i < to; ++i) {
        rows += QByteArray::number(1 + i / 50) + ',' + QByteArray::number(1 + i % 50) + ',' +
                QByteArray::number(0.1 * (i + 1)) + ',' + QByteArray::number(ch0) + ",2,.5,0,0\r\n";
    }
    return rows;
}

bool hasColour(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
        }
    }
    return false;
}

}  // namespace

class TstRecordingViewer : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TestProgram> p_;
    QString answer_;
    QStringList messages_;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    FrmVisor* open(const QString& path) {
        answer_ = path;
        p_->frmControl()->MN_AbrirRegistro->trigger();
        return p_->windows.viewers().isEmpty() ? nullptr : p_->windows.viewers().back();
    }

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.filePath("config"));
    }
    void init() {
        // Answered before anything can ask (a missing configuration file
        // says so at start-up), so no box ever waits for a person.
        prompts::setFileDialogHook([this](const FileDialogRequest&) { return answer_; });
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r.text; });
        p_ = std::make_unique<TestProgram>();
        p_->windows.loadMain();
        messages_.clear();
    }
    void cleanup() {
        p_.reset();
        prompts::setFileDialogHook({});
        prompts::setMessageHook({});
        setPrinterSource({});
    }

    void aWindowForEachFileOpened() {
        const QString a = write("a.DAT", "0,1,1,1,1,0\r\n100,1,1,1,1,0\r\n");
        const QString b = write("b.csv", kHeader + logRows(0, 5));
        QVERIFY(open(a));
        QVERIFY(open(b));
        answer_.clear();  // cancelled: nothing opens
        p_->frmControl()->MN_AbrirRegistro->trigger();
        const QList<FrmVisor*> v = p_->windows.viewers();
        QCOMPARE(v.size(), 2);
        QCOMPARE(v[0]->windowTitle(), QString("Registro guardado - a.DAT"));
        QCOMPARE(v[1]->recording().data().size(), size_t(5));
        for (FrmVisor* w : v) QVERIFY(w->isVisible());
        v[0]->close();
        QTRY_COMPARE(p_->windows.viewers().size(), 1);
    }

    void damagedFilesOpenWhatCanBeRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("says");
        QTest::newRow("data file, cut last line")
            << QByteArray("0,1,1,1,1,0\r\n100,1,1") << 1 << "La línea 2 está cortada";
        QTest::newRow("data file, non-number")
            << QByteArray("0,1,1,1,1,0\r\n1e,1,1,1,1,0\r\n") << 1 << "línea 2";
        QTest::newRow("log, cut last line")
            << kHeader + logRows(0, 3) + "1,4,.4" << 3 << "La línea 5 está cortada";
        QTest::newRow("log, non-number") << kHeader + logRows(0, 3) + "1,4,.4,x,0,0,0,0\r\n"
                                         << 3 << "línea 5";
        QTest::newRow("unknown header") << QByteArray("Tiempo;Valor\r\n1;2\r\n") << 0 << "línea 1";
        QTest::newRow("binary") << QByteArray(
                                       "\x7f"
                                       "ELF\x02\x01\0\0\n\0\0",
                                       11)
                                << 0 << "no son texto";
        QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << 0
                                 << "línea 1: la cabecera";
        QTest::newRow("empty") << QByteArray() << 0 << "El fichero está vacío";
    }
    void damagedFilesOpenWhatCanBeRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(QString, says);
        const QString path = write("damaged", bytes);
        FrmVisor* w = open(path);
        QVERIFY(w);
        QCOMPARE(int(w->recording().data().size()), rows);
        QVERIFY2(w->Lbl_Estado->text().contains(says), qPrintable(w->Lbl_Estado->text()));
        QVERIFY(!w->picture().isNull());
        w->BT_VerTodo->click();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    void followsAGrowingFile() {
        const QString path = write("growing.csv", kHeader + logRows(0, 10));
        FrmVisor* w = open(path);
        QVERIFY(w);
        QCOMPARE(w->recording().data().size(), size_t(10));
        const double end = w->PIC_TRAZADO->view().t1;
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write(logRows(10, 30));
        f.close();
        // The follow timer looks every half second (so new rows show within
        // a second); the wait allows for a loaded machine.
        QVERIFY(w->Tmr_Seguir->isActive());
        QVERIFY(w->Tmr_Seguir->interval() <= 500);
        QTRY_COMPARE_WITH_TIMEOUT(w->recording().data().size(), size_t(30), 5000);
        QVERIFY(w->PIC_TRAZADO->view().t1 > end);
        QCOMPARE(w->Lbl_Estado->text(), QString());
    }

    void channelsInTheirColours() {
        FrmVisor* w = open(
            write("colours.DAT", "0,1,2,.5,1.5,0\r\n100,1,2,.5,1.5,0\r\n200,1,2,.5,1.5,0\r\n"));
        QVERIFY(w);
        w->resize(800, 500);
        const QRgb blue = qRgb(0, 0, 255);  // CH 0 by default
        QVERIFY(hasColour(w->picture(), blue));
        w->CHK_VER[0]->setChecked(false);
        QVERIFY(!hasColour(w->picture(), blue));
        QVERIFY(hasColour(w->picture(), qRgb(0, 255, 0)));  // CH 1 still drawn
    }

    void zoomPanAndSeeAll() {
        FrmVisor* w = open(write("long.csv", kHeader + logRows(0, 1000)));
        QVERIFY(w);
        w->resize(900, 500);
        RecordingCanvas* c = w->PIC_TRAZADO;
        const ViewRange whole = c->view();
        QCOMPARE(whole.t0, 0.1);
        QCOMPARE(whole.t1, 100.0);
        const QPointF mid = c->traceArea().center();
        QWheelEvent wheel(mid, c->mapToGlobal(mid), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(c, &wheel);
        QVERIFY(c->view().t1 - c->view().t0 < 0.9 * (whole.t1 - whole.t0));
        // Pan: the content follows a drag to the right.
        const ViewRange before = c->view();
        const auto mouse = [c](QEvent::Type type, QPointF at, Qt::MouseButton button,
                               Qt::MouseButtons held) {
            QMouseEvent e(type, at, c->mapToGlobal(at), button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(c, &e);
        };
        mouse(QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, mid + QPointF(100, 0), Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, mid + QPointF(100, 0), Qt::LeftButton, Qt::NoButton);
        QVERIFY(c->view().t0 < before.t0);
        QCOMPARE(c->view().t1 - c->view().t0, before.t1 - before.t0);
        // A rectangle dragged with the right button is zoomed into.
        const QPointF a = c->traceArea().topLeft() + QPointF(10, 10);
        const QPointF b = a + QPointF(80, 60);
        mouse(QEvent::MouseButtonPress, a, Qt::RightButton, Qt::RightButton);
        mouse(QEvent::MouseMove, b, Qt::NoButton, Qt::RightButton);
        mouse(QEvent::MouseButtonRelease, b, Qt::RightButton, Qt::NoButton);
        const ViewRange r = c->view();
        QVERIFY(r.t1 - r.t0 < before.t1 - before.t0);
        // The readout gives the time and the five values of the nearest sample.
        mouse(QEvent::MouseMove, c->traceArea().topLeft() + QPointF(1, 1), Qt::NoButton,
              Qt::NoButton);
        QVERIFY(w->Lbl_Lectura->text().startsWith("Tiempo: "));
        QCOMPARE(w->readoutAt(0.5),
                 QString("Tiempo: %1 seg.   CH 0: %2   CH 1: %3   CH 2: %4   CH 3: %5   SA: %6")
                     .arg(FormatAxisValue(0.5), FormatAxisValue(1), FormatAxisValue(2),
                          FormatAxisValue(0.5), FormatAxisValue(0), FormatAxisValue(0)));
        w->BT_VerTodo->click();
        QCOMPARE(c->view(), whole);
    }

    void imageAndPrinter() {
        FrmVisor* w = open(write("img.DAT", "0,1,1,1,1,0\r\n100,2,1,1,1,0\r\n"));
        QVERIFY(w);
        for (const QString& name : {QString("shot.png"), QString("shot.pdf")}) {
            answer_ = dir_.filePath(name);
            w->BT_GuardarImagen->click();
            QVERIFY(QFileInfo(answer_).size() > 0);
        }
        QCOMPARE(QImage(dir_.filePath("shot.png")).size(), w->PIC_TRAZADO->size());
        const QString pdf = dir_.filePath("printed.pdf");
        setPrinterSource([pdf] {
            auto p = std::make_unique<QPrinter>();
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            return p;
        });
        w->BT_Imprimir->click();
        QVERIFY(QFileInfo(pdf).size() > 0);
        setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
        w->BT_Imprimir->click();
        QCOMPARE(messages_, QStringList{"No hay ninguna impresora instalada."});
    }

    void logEntriesRememberedAndAStopSaid() {
        FrmControl* m = p_->frmControl();
        QVERIFY(!m->MN_GuardarTodos->isChecked());
        QVERIFY(m->MN_CortarTamano->isChecked());
        m->MN_GuardarTodos->trigger();
        m->MN_CortarMedianoche->trigger();
        // A new start of the program finds the choices again.
        p_ = std::make_unique<TestProgram>();
        p_->windows.loadMain();
        m = p_->frmControl();
        QVERIFY(m->MN_GuardarTodos->isChecked());
        QVERIFY(m->MN_CortarMedianoche->isChecked());
        QVERIFY(!m->MN_CortarTamano->isChecked());
        QCOMPARE(p_->sweepLog().preferences().rotation, LogRotation::AtMidnight);
        m->MN_GuardarTodos->trigger();
        QVERIFY(!p_->sweepLog().preferences().keepAll);

        // A log that stops: the status bar and a box that does not wait.
        emit p_->sweepLog().logStopped("Se ha detenido el registro de todos los barridos: x.");
        QCOMPARE(m->statusBar()->currentMessage(),
                 QString("Se ha detenido el registro de todos los barridos: x."));
        auto* box = m->findChild<QMessageBox*>("MSG_RegistroDetenido");
        QVERIFY(box);
        QVERIFY(!box->isModal());
        box->close();
    }
};

QTEST_MAIN(TstRecordingViewer)
#include "tst_recording_viewer.moc"
