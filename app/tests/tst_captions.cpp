// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of every window shows whole: the text of each label, check
// box, option and button, in the font the window gives it, fits the room its
// control leaves for text.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "common/prompts.h"
#include "test_program.h"
#include "windows/frm_colores.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_definir_senales_graf.h"
#include "windows/frm_registro.h"
#include "windows/frm_visor.h"
#include "windows/help_window.h"

namespace {

// The room a control leaves for its text, in pixels.
int textRoom(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
    }
    auto* button = qobject_cast<QAbstractButton*>(w);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox*>(w)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<QRadioButton*>(w)) contents = QStyle::SE_RadioButtonContents;
    int room = w->style()->subElementRect(contents, &option, w).width();
    // A push button's text sits between its margins.
    if (contents == QStyle::SE_PushButtonContents) {
        room -= 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, w) / 2;
    }
    return room;
}

QString shownText(QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
    return text.remove(u'&');
}

// Every caption of window and its children that does not fit, with its
// width and room.
QStringList cutCaptions(QWidget* window) {
    QStringList cut;
    QList<QWidget*> controls = window->findChildren<QWidget*>();
    controls.prepend(window);
    for (QWidget* w : controls) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w)) continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) continue;
        const QString text = shownText(w);
        if (text.isEmpty()) continue;
        const QFontMetrics metrics(w->font());
        int width = 0;
        for (const QString& line : text.split(u'\n')) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
        const int room = textRoom(w);
        if (width > room) {
            cut << QStringLiteral("%1 \"%2\": %3 > %4")
                       .arg(w->objectName(), text)
                       .arg(width)
                       .arg(room);
        }
    }
    return cut;
}

}  // namespace

class TstCaptions : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgram> program_;
    QTemporaryDir dir_;

  private slots:
    void init() {
        prompts::setMessageHook([](const MessageRequest&) {});
        prompts::setBeepHook([] {});
        program_ = std::make_unique<TestProgram>();
        program_->frmControl();
    }
    void cleanup() {
        program_.reset();
        prompts::setMessageHook({});
        prompts::setBeepHook({});
    }

    void everyCaptionShowsWhole_data() {
        QTest::addColumn<QString>("window");
        for (const char* name : {"FRM_CONTROL", "FRM_REGISTRO", "FRM_CONFIGURACION", "FRM_COLORES",
                                 "FRM_DEFINIR_ONDAS", "FRM_DEFINIR_SEÑALES_GRAF", "viewer", "help",
                                 "FRM_CONFIGURACION AD12", "FRM_DEFINIR_ONDAS 8-bit"}) {
            QTest::newRow(name) << QString::fromUtf8(name);
        }
    }
    void everyCaptionShowsWhole() {
        QFETCH(QString, window);
        WindowSet& set = program_->windows;
        std::unique_ptr<QWidget> own;
        QWidget* w = nullptr;
        if (window == "FRM_CONTROL") w = set.frmControl();
        if (window == "FRM_REGISTRO") {
            FrmRegistro* plot = set.frmRegistro();
            // Both panels open, as the user sees them.
            plot->MRC_Configurar->show();
            plot->MRC_MODO_XY->show();
            w = plot;
        }
        if (window.startsWith("FRM_CONFIGURACION")) {
            FrmConfiguracion* d = set.frmConfiguracion();
            if (window.endsWith("AD12")) d->OPT_TIPO[3]->setChecked(true);
            w = d;
        }
        if (window == "FRM_COLORES") w = (own = std::make_unique<FrmColores>()).get();
        if (window.startsWith("FRM_DEFINIR_ONDAS")) {
            program_->g.ModuleType = window.endsWith("8-bit") ? 0 : 2;
            FrmDefinirOndas* d = set.frmDefinirOndas();
            // Every frame at once: each is checked on its own.
            d->MRC_ONDAS->show();
            d->MRC_ESTIMULOS->show();
            d->MRC_USUARIO->show();
            w = d;
        }
        if (window == "FRM_DEFINIR_SEÑALES_GRAF") {
            own = std::make_unique<FrmDefinirSenalesGraf>(*program_, CodeRange{4095.0f, 0.0f});
            w = own.get();
        }
        if (window == "viewer") {
            const QString file = dir_.filePath("DATOS.DAT");
            QFile data(file);
            QVERIFY(data.open(QIODevice::WriteOnly));
            data.write("1,2,3,4,0\r\n");
            data.close();
            set.openRecording(file);
            QVERIFY(!set.viewers().isEmpty());
            w = set.viewers().last();
        }
        if (window == "help") {
            set.openHelp(QString());
            w = set.helpWindow();
        }
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QStringList cut = cutCaptions(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TstCaptions)
#include "tst_captions.moc"
