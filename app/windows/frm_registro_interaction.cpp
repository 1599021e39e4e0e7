// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's own events: the configure panel, XY mode and the width
// of the XY area, the cursor readout, printing and saving the picture, and
// closing the window.
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include "acquisition/recorder.h"
#include "acquisition/sampling_holds.h"
#include "common/prompts.h"
#include "common/title.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/cursor_readout.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/plot_image.h"
#include "display/plot_limits.h"
#include "display/xy_adjust.h"
#include "widgets/twips.h"
#include "windows/frm_registro.h"
#include "windows/plot_layout.h"
#include "windows/window_verbs.h"

void FrmRegistro::connectInteraction() {
    Recorder& rec = session_.recorder();
    holds_ = std::make_unique<SamplingHolds>([&rec] { rec.pause(); }, [&rec] { rec.resume(); });

    connect(CMD_CONTROL, &QPushButton::clicked, this, [this] { windows_.raiseMain(); });
    connect(BT_Configurar, &QPushButton::clicked, this, [this] { openConfigurePanel(); });
    connect(BT_Aplicar, &QPushButton::clicked, this, [this] { applyConfigurePanel(); });
    connect(BT_Cancelar, &QPushButton::clicked, this, [this] { cancelConfigurePanel(); });
    connect(BT_Imprimir, &QPushButton::clicked, this, [this] { printPlot(); });
    connect(BT_GuardarImagen, &QPushButton::clicked, this, [this] { savePlotImage(); });
    for (int i = 0; i < 5; ++i) {
        connect(opt_x[size_t(i)], &QRadioButton::clicked, this, [this, i] { chooseAxis(true, i); });
        connect(opt_y[size_t(i)], &QRadioButton::clicked, this,
                [this, i] { chooseAxis(false, i); });
    }
    connect(cmd_ajustar, &QPushButton::clicked, this, [this] { pressAdjust(); });
    connect(BT_UP, &QPushButton::clicked, this, [this] { stepWidth(true); });
    connect(BT_DOWN, &QPushButton::clicked, this, [this] { stepWidth(false); });

    connect(
        PIC_TRAZADO, &DrawingSurface::mousePressed, this,
        [this](Qt::MouseButton b, Qt::MouseButtons, float x, float y) { cursorPressed(b, x, y); });
    connect(PIC_TRAZADO, &DrawingSurface::mouseMoved, this,
            [this](Qt::MouseButtons held, float x, float y) { cursorMoved(held, x, y); });
    connect(PIC_TRAZADO, &DrawingSurface::mouseReleased, this,
            [this](Qt::MouseButton b, Qt::MouseButtons, float, float) { cursorReleased(b); });
    // Clicks on the panel are the panel's, not a reading of the trace area.
    MRC_Configurar->setAttribute(Qt::WA_NoMousePropagation);
}

void FrmRegistro::drawScaleAndGrid() {
    const PlotScale scale = plotScale(session_.settings());
    DrawGraduations(surfaces(), scale);
    if (session_.settings().grid() == CheckValue::Checked) {
        DrawGrid(PIC_TRAZADO, scale, session_.g.Colores[5][2]);
    }
}

bool FrmRegistro::xyMode() const {
    return session_.settings().xyMode() != CheckValue::Unchecked;
}

void FrmRegistro::openConfigurePanel() {
    holds_->hold(SamplingHolds::ConfigurePanel);
    VarGlob& g = session_.g;
    TXT_LSuperior->setText(limitBoxText(g.PlotUpper));
    TXT_Linferior->setText(limitBoxText(g.PlotLower));
    g.SavedPlotUpper = g.PlotUpper;
    g.SavedPlotLower = g.PlotLower;
    MRC_Configurar->show();
}

void FrmRegistro::applyConfigurePanel() {
    const std::optional<PlotRange> limits =
        readPlotLimits(TXT_LSuperior->text(), TXT_Linferior->text());
    if (!limits) {
        TXT_LSuperior->setFocus();
        prompts::beep();
        return;
    }
    SettingsModel& m = session_.settings();
    m.setPlotLimits(limits->lower, limits->upper, m.outputMaximum());
    MRC_Configurar->hide();
    LayoutPlotWindow(session_, this);
    if (m.xyMode() == CheckValue::Checked) {
        EnterXYMode();
    } else {
        LeaveXYMode();
    }
    holds_->release(SamplingHolds::ConfigurePanel);
}

void FrmRegistro::cancelConfigurePanel() {
    SettingsModel& m = session_.settings();
    m.setPlotLimits(session_.g.SavedPlotLower, session_.g.SavedPlotUpper, m.outputMaximum());
    MRC_Configurar->hide();
    holds_->release(SamplingHolds::ConfigurePanel);
}

void FrmRegistro::EnterXYMode() {
    const VarGlob& g = session_.g;
    session_.settings().setXYModeShown(true);
    PIC_TRAZADO->setAutoRedraw(true);
    PIC_TRAZADO->resize(std::max(1, twipsToPixelsX(g.XYPlotWidth)), PIC_TRAZADO->height());
    const UserScale s = xyScale(g.PlotLower, g.PlotUpper);
    PIC_TRAZADO->setScale(s.x1, s.y1, s.x2, s.y2);
    PIC_TRAZADO->cls();
    MRC_MODO_XY->show();
    cmd_ajustar->show();
    drawScaleAndGrid();
}

void FrmRegistro::LeaveXYMode() {
    const VarGlob& g = session_.g;
    session_.settings().setXYModeShown(false);
    MRC_MODO_XY->hide();
    cmd_ajustar->hide();
    PIC_TRAZADO->setAutoRedraw(false);
    PIC_TRAZADO->setScale(0.0f, g.PlotUpper, static_cast<float>(g.SweepSamples), g.PlotLower);
    DrawGraduations(surfaces(), plotScale(session_.settings()));
}

void FrmRegistro::chooseAxis(bool xAxis, int index) {
    const auto& group = xAxis ? opt_x : opt_y;
    if (group[size_t(index)]->isChecked()) {
        const auto i = static_cast<int16_t>(index);
        session_.settings().setAxesAndChannels(xAxis ? i : kNoOption, xAxis ? kNoOption : i);
    }
    session_.recorder().blankValues();
}

void FrmRegistro::pressAdjust() {
    // The arrows are shown inside the panel until the first press, which
    // therefore ends an adjustment that was never started.
    if (BT_UP->isHidden()) {
        startAdjusting();
    } else {
        endAdjusting();
    }
}

void FrmRegistro::startAdjusting() {
    holds_->hold(SamplingHolds::Adjusting);
    DrawSquareGuide(*PIC_TRAZADO, session_.g.PlotLower, session_.g.PlotUpper);
    BT_UP->show();
    BT_DOWN->show();
    session_.settings().setXYAdjusting(true);
    for (QCheckBox* box : {CHK_REJILLA, CHK_BORRADO, CHK_MODO}) box->setEnabled(false);
}

void FrmRegistro::endAdjusting() {
    VarGlob& g = session_.g;
    g.XYPlotWidth = static_cast<float>(pixelsToTwipsX(PIC_TRAZADO->width()));
    const UserScale s = xyScale(g.PlotLower, g.PlotUpper);
    PIC_TRAZADO->setScale(s.x1, s.y1, s.x2, s.y2);
    drawScaleAndGrid();
    BT_UP->hide();
    BT_DOWN->hide();
    session_.settings().setXYAdjusting(false);
    for (QCheckBox* box : {CHK_REJILLA, CHK_BORRADO, CHK_MODO}) box->setEnabled(true);
    holds_->release(SamplingHolds::Adjusting);
}

void FrmRegistro::stepWidth(bool wider) {
    const auto twips = static_cast<float>(pixelsToTwipsX(PIC_TRAZADO->width()));
    const float next = wider ? widerXYWidth(twips) : narrowerXYWidth(twips);
    if (next != twips) {
        // At least one pixel, whatever the screen's resolution.
        int px = twipsToPixelsX(next);
        if (px == PIC_TRAZADO->width()) px += wider ? 1 : -1;
        PIC_TRAZADO->resize(std::max(1, px), PIC_TRAZADO->height());
    }
    DrawSquareGuide(*PIC_TRAZADO, session_.g.PlotLower, session_.g.PlotUpper);
}

void FrmRegistro::cursorPressed(Qt::MouseButton button, float x, float y) {
    if (button != Qt::LeftButton) return;
    const CursorReadout r = cursorOnPress(x, y, xyMode(), session_.g.PeriodMs);
    if (r.x) Lbl_coor_X->setText(*r.x);
    Lbl_coor_Y->setText(r.y);
}

void FrmRegistro::cursorMoved(Qt::MouseButtons buttons, float x, float y) {
    if (!(buttons & Qt::LeftButton)) return;
    const CursorReadout r = cursorOnDrag(x, y, xyMode());
    if (r.x) Lbl_coor_X->setText(*r.x);
    Lbl_coor_Y->setText(r.y);
}

void FrmRegistro::cursorReleased(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    Lbl_coor_X->clear();
    Lbl_coor_Y->clear();
}

QImage FrmRegistro::plotPicture() {
    return imageWithout(this, {CMD_CONTROL, CMD_LIMPIAR, BT_Configurar, BT_Imprimir,
                               BT_GuardarImagen, MRC_Configurar});
}

void FrmRegistro::printPlot() {
    const std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (!printer) {
        prompts::message(this, QMessageBox::Information, appTitle(),
                         QStringLiteral("No hay ninguna impresora instalada."));
        return;
    }
    // Ticks running now wait until the page is out.
    const bool ticking = session_.recorder().timerActive();
    if (ticking) holds_->hold(SamplingHolds::Printing);
    const bool printed = printImage(plotPicture(), *printer);
    holds_->release(SamplingHolds::Printing);
    if (!printed) {
        prompts::message(this, QMessageBox::Warning, appTitle(),
                         QStringLiteral("No se pudo imprimir el registro."));
    }
}

void FrmRegistro::savePlotImage() {
    askAndSaveImage(this, plotPicture());
}

void FrmRegistro::closeEvent(QCloseEvent* event) {
    // A configure panel left open would show at the next recording and keep
    // holding its samples: closing cancels it. An adjustment left open would
    // keep recording from being started or stopped from the main window.
    if (holds_->held(SamplingHolds::ConfigurePanel)) cancelConfigurePanel();
    if (holds_->held(SamplingHolds::Adjusting)) endAdjusting();
    if (session_.g.Recording != kFalse) session_.recorder().StartStopRecording();
    QWidget::closeEvent(event);
}
