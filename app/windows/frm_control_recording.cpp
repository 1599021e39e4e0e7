// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL's recording and analog output controls: their events go to the
// sampling engine and to the analog output, and the window shows what the
// engines report.
#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QStatusBar>

#include "acquisition/analog_output.h"
#include "acquisition/recorder.h"
#include "acquisition/sampling_inputs.h"
#include "common/prompts.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "generator/wave_player.h"
#include "widgets/focus_checks.h"
#include "windows/frm_control.h"

namespace {

// Replaces the text only when it differs, so the caret stays where it is.
void showText(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

}  // namespace

void FrmControl::connectRecording() {
    Recorder& rec = session_.recorder();
    connect(&rec, &Recorder::recordingStarted, this, [this] {
        cmd_inic->setText(QStringLiteral("&Parar registro"));
        Hsr_muestras->setEnabled(false);
        Hsr_Periodo->setEnabled(false);
        // The generator preview takes the plot's colours, which clears it;
        // a waveform still playing is drawn again.
        pic_onda->setBackColor(session_.g.Colores[5][1]);
        pic_onda->setForeColor(session_.g.Colores[4][2]);
        session_.wavePlayer().redrawPreview();
    });
    connect(&rec, &Recorder::recordingStopped, this, [this] {
        cmd_inic->setText(QStringLiteral("&Iniciar registro"));
        Hsr_muestras->setEnabled(true);
        Hsr_Periodo->setEnabled(true);
    });
    connect(&rec, &Recorder::sweepLabelsCleared, this, [this] {
        Lbl_Contamuestras->clear();
        lbl_Preal->clear();
    });
    connect(&rec, &Recorder::samplingStopped, this, [this] {
        lbl_Preal->clear();
        Lbl_Contamuestras->clear();
        for (QLabel* l : Lbl_Vis) l->clear();
    });
    connect(&rec, &Recorder::counterChanged, this,
            [this](int counter) { Lbl_Contamuestras->setText(QString::number(counter)); });
    connect(&rec, &Recorder::valueChanged, this, [this](int row, const QString& text) {
        if (row >= 0 && row < static_cast<int>(Lbl_Vis.size())) {
            Lbl_Vis[static_cast<size_t>(row)]->setText(text);
        }
    });
    connect(&rec, &Recorder::periodMeasured, this,
            [this](double ms) { lbl_Preal->setText(periodText(ms)); });
    connect(&rec, &Recorder::writeFailed, this, &FrmControl::showWriteFailed);
    connect(&rec, &Recorder::writeSucceeded, this, &FrmControl::showWriteSucceeded);

    // Typed sampling settings move their bars while in range.
    connect(Txt_Muestras, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (const auto v = typedSetting(text, kSamplesRange)) Hsr_muestras->setValue(*v);
    });
    connect(Txt_Periodo, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (const auto v = typedSetting(text, kPeriodRange)) Hsr_Periodo->setValue(*v);
    });
    connect(Txt_Muestras, &QLineEdit::returnPressed, this, [this] {
        leaveSettingBox(Txt_Muestras);
        Txt_Periodo->setFocus();
    });
    connect(Txt_Periodo, &QLineEdit::returnPressed, this, [this] {
        leaveSettingBox(Txt_Periodo);
        Txt_Muestras->setFocus();
    });
    Txt_Muestras->installEventFilter(this);
    Txt_Periodo->installEventFilter(this);
    // Leaving a box (for another window too), or pressing any button while
    // in it, takes what it holds.
    for (QLineEdit* box : {Txt_Muestras, Txt_Periodo}) {
        FocusChecks::of(this).watch(
            box,
            [this, box] {
                leaveSettingBox(box);
                return true;
            },
            true);
    }

    for (size_t i = 0; i < CHK_VIS.size(); ++i) {
        connect(CHK_VIS[i], &QCheckBox::stateChanged, this, [this, i](int state) {
            if (state == Qt::Unchecked) Lbl_Vis[i]->clear();
        });
        Lbl_Vis[i]->installEventFilter(this);
    }

    connect(MN_Guardar, &QAction::triggered, this, [this] { chooseDataFile(); });
    Lbl_archivo->installEventFilter(this);
}

void FrmControl::connectAnalogOutput() {
    AnalogOutput& out = session_.analogOutput();
    // Dragging the thumb sends every position, as a change does.
    connect(HSr_salanal, &QScrollBar::valueChanged, this, [&out](int value) {
        if (value != out.AnalogOutValue()) out.setCode(static_cast<int16_t>(value));
    });
    // Both controls follow every change of the output, playback's included.
    connect(&out, &AnalogOutput::changed, this, [this](int16_t code, const QString& text) {
        if (HSr_salanal->value() != code) HSr_salanal->setValue(code);
        Txt_salanal->setText(text);
    });
    connect(Txt_salanal, &QLineEdit::returnPressed, this, [this] { leaveOutputBox(); });
    Txt_salanal->installEventFilter(this);
    FocusChecks::of(this).watch(
        Txt_salanal,
        [this] {
            leaveOutputBox();
            return true;
        },
        true);
}

void FrmControl::leaveSettingBox(QLineEdit* box) {
    const VarGlob& g = session_.g;
    const bool samples = box == Txt_Muestras;
    // Out of range, the box shows the value of the last recording started.
    if (const auto text = textOnLeaving(box->text(), samples ? kSamplesRange : kPeriodRange,
                                        samples ? g.SweepSamples : g.SweepPeriodMs)) {
        box->setText(*text);
    }
}

void FrmControl::leaveOutputBox() {
    // The text as shown follows the locale, which reading does not: read
    // back, "2,5" would send 2.
    if (Txt_salanal->text() == session_.analogOutput().text()) return;
    const VarGlob& g = session_.g;
    const auto code = UnitsToCode(Txt_salanal->text(), moduleKindOf(g.ModuleType), g.ScaleFactor,
                                  HSr_salanal->maximum());
    if (code && *code != HSr_salanal->value()) {
        // The bar's change sends the code and writes the text in units.
        HSr_salanal->setValue(*code);
    } else {
        showText(Txt_salanal, session_.analogOutput().text());
    }
}

void FrmControl::chooseDataFile() {
    FileDialogRequest request{
        FileDialogRequest::Save, QStringLiteral("Donde guardar los registros de datos"),
        QStringLiteral("Archivos donde guardar|*.DAT;*.TXT"), session_.g.DataFileName};
    const QString name = prompts::fileDialog(this, request);
    if (name.isEmpty()) return;
    SettingsModel& m = session_.settings();
    m.setDataFileName(name);
    m.setDataFileCaption(QFileInfo(name).fileName());
}

void FrmControl::showWriteFailed(const QString& fileName, const QString& reason, bool first) {
    // The recording goes on; the user is told without a box that would
    // hold the ticks.
    Lbl_archivo->setStyleSheet(QStringLiteral("color: red"));
    Lbl_archivo->setToolTip(reason);
    if (first) {
        statusBar()->showMessage(QStringLiteral("No se pudo grabar %1: %2").arg(fileName, reason));
    }
}

void FrmControl::showWriteSucceeded() {
    Lbl_archivo->setStyleSheet(QString());
    Lbl_archivo->setToolTip(QString());
    statusBar()->clearMessage();
}

bool FrmControl::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == Txt_Muestras || box == Txt_Periodo || box == Txt_salanal)) {
        if (type == QEvent::FocusIn) {
            // After the mouse press that gave the focus, which would undo it.
            QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
        }
        return false;
    }
    if (watched == Lbl_archivo && type == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) chooseDataFile();
        return false;
    }
    for (size_t i = 0; i < Lbl_Vis.size(); ++i) {
        if (watched != Lbl_Vis[i]) continue;
        // Between recordings, holding the button shows a fresh reading.
        Recorder& rec = session_.recorder();
        if (type == QEvent::MouseButtonPress && !rec.timerActive() &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (const auto text = rec.readNow(static_cast<int>(i))) Lbl_Vis[i]->setText(*text);
        } else if (type == QEvent::MouseButtonRelease && !rec.timerActive()) {
            Lbl_Vis[i]->clear();
        }
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}
