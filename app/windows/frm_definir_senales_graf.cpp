// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_definir_senales_graf.h"

#include "common/prompts.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "core/var_glob.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/plot_scale.h"
#include "generator/wave_tables.h"
#include "widgets/place.h"

namespace {

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QString readoutStyle(bool canDraw) {
    // Dark grey where a click draws, light grey where it cannot.
    return canDraw ? QStringLiteral("background-color: rgb(128, 128, 128);")
                   : QStringLiteral("background-color: rgb(192, 192, 192);");
}

}  // namespace

FrmDefinirSenalesGraf::FrmDefinirSenalesGraf(Session& session, CodeRange range, QWidget* parent)
    : QDialog(parent), session_(session), g_(session.g), range_(range), drawing_(session.g) {
    setObjectName(QStringLiteral("FRM_DEFINIR_SEÑALES_GRAF"));
    setWindowTitle(QStringLiteral("Definir ondas gráficamente"));
    build();
    reset();
}

void FrmDefinirSenalesGraf::build() {
    setFixedSize(twipsToPixelsX(10200), twipsToPixelsY(6600));
    PIC_TRAZADO = place(named(new DrawingSurface(this), QStringLiteral("PIC_TRAZADO")), 1200, 120,
                        8760, 4200);
    pic_escalas = named(new QWidget(this), QStringLiteral("pic_escalas"));
    pic_escalas->setGeometry(0, 0, twipsToPixelsX(10200), twipsToPixelsY(4800));
    pic_escalas->lower();
    PIC_GRADUACION_Y =
        place(named(new DrawingSurface(pic_escalas), "PIC_GRADUACION_Y"), 60, 120, 1080, 4200);
    PIC_GRADUACION_X =
        place(named(new DrawingSurface(pic_escalas), "PIC_GRADUACION_X"), 1200, 4380, 8760, 360);

    const auto label = [this](const char* name, const char* text, double left, double top,
                              double width) {
        return place(named(new QLabel(QString::fromUtf8(text), this), QString::fromLatin1(name)),
                     left, top, width, 285);
    };
    Lbl_text_X = label("Lbl_text_X", "x", 1200, 4920, 240);
    Lbl_coor_X = label("Lbl_coor_X", "", 1500, 4920, 1200);
    Lbl_text_Y = label("Lbl_text_Y", "y", 2880, 4920, 240);
    Lbl_coor_Y = label("Lbl_coor_Y", "", 3180, 4920, 1200);
    for (QLabel* l : {Lbl_coor_X, Lbl_coor_Y}) l->setStyleSheet(readoutStyle(true));
    lbl_txt_periodo = label("lbl_txt_periodo", "Periodo", 1200, 5400, 900);
    lbl_periodo = label("lbl_periodo", "0", 2160, 5400, 900);
    lbl_txt_offset = label("lbl_txt_offset", "Offset", 3240, 5400, 900);
    lbl_offset = label("lbl_offset", "0", 4200, 5400, 900);
    lbl_txt_amplitud = label("lbl_txt_amplitud", "Amplitud", 5280, 5400, 900);
    lbl_amplitud = label("lbl_amplitud", "0", 6240, 5400, 900);

    chk_estimulo = place(
        named(new QCheckBox(QStringLiteral("Periódica"), this), QStringLiteral("chk_estimulo")),
        1200, 5880, 1800, 285);
    cmd_aceptar = place(
        named(new QPushButton(QStringLiteral("&Aceptar"), this), QStringLiteral("cmd_aceptar")),
        7200, 4920, 1320, 435);
    cmd_borrar =
        place(named(new QPushButton(QStringLiteral("&Borrar"), this), QStringLiteral("cmd_borrar")),
              8640, 4920, 1320, 435);
    for (QPushButton* b : {cmd_aceptar, cmd_borrar}) b->setAutoDefault(false);

    PIC_TRAZADO->setMouseTracking(true);
    connect(PIC_TRAZADO, &DrawingSurface::mousePressed, this,
            [this](Qt::MouseButton, Qt::MouseButtons, float x, float y) { pressAt(x, y); });
    connect(PIC_TRAZADO, &DrawingSurface::mouseMoved, this,
            [this](Qt::MouseButtons, float x, float y) { moveTo(x, y); });
    connect(cmd_aceptar, &QPushButton::clicked, this, [this] {
        AcceptDrawnSignal(g_, drawing_.lastX(), chk_estimulo->isChecked(),
                          session_.settings().outputMaximum());
        accepted_ = true;
        accept();
    });
    connect(cmd_borrar, &QPushButton::clicked, this, [this] {
        PIC_TRAZADO->setAutoRedraw(true);
        PIC_TRAZADO->cls();
        reset();
    });
}

void FrmDefinirSenalesGraf::reset() {
    drawing_.reset();
    drawnMaxCode_ = waveMaxCode(moduleKindOf(g_.ModuleType));
    PIC_TRAZADO->setScale(1.0f, range_.upper, 301.0f, range_.lower);
    PIC_TRAZADO->cls();
    PIC_TRAZADO->setAutoRedraw(true);
    drawScales();
    // Later marks go persistent only while a click is handled.
    PIC_TRAZADO->setAutoRedraw(false);
    showFigures();
}

void FrmDefinirSenalesGraf::drawScales() {
    // The plot's rules for the labels and the grid, over this area's range.
    PlotScale scale = plotScale(session_.settings());
    scale.lower = range_.lower;
    scale.upper = range_.upper;
    const PlotSurfaces surfaces{PIC_TRAZADO, PIC_GRADUACION_X, PIC_GRADUACION_Y};
    PIC_GRADUACION_X->resize(PIC_TRAZADO->width(), PIC_GRADUACION_X->height());
    PIC_GRADUACION_Y->resize(PIC_GRADUACION_Y->width(), PIC_TRAZADO->height());
    DrawGrid(PIC_TRAZADO, scale, 0);
    PIC_GRADUACION_X->setAutoRedraw(true);
    PIC_GRADUACION_Y->setAutoRedraw(true);
    DrawGraduations(surfaces, scale);
}

void FrmDefinirSenalesGraf::showFigures() {
    if (!drawing_.started()) {
        for (QLabel* l : {lbl_periodo, lbl_offset, lbl_amplitud}) l->setText(QStringLiteral("0"));
        return;
    }
    lbl_periodo->setText(drawing_.periodText());
    lbl_offset->setText(drawing_.offsetText());
    lbl_amplitud->setText(drawing_.amplitudeText());
}

void FrmDefinirSenalesGraf::pressAt(float x, float y) {
    PIC_TRAZADO->setAutoRedraw(true);
    const SignalDrawing::Press p = drawing_.press(x, y);
    if (p.refused) prompts::beep();
    const int32_t colour = PIC_TRAZADO->foreColor();
    if (p.firstPoint) PIC_TRAZADO->pset(p.pointX, p.pointY, colour);
    for (const DrawnSegment& s : p.segments) PIC_TRAZADO->line(s.x1, s.y1, s.x2, s.y2, colour);
    PIC_TRAZADO->setAutoRedraw(false);
    showFigures();
}

void FrmDefinirSenalesGraf::moveTo(float x, float y) {
    const SignalDrawing::Move m = drawing_.move(x, y);
    PIC_TRAZADO->setCursor(m.canDraw ? Qt::CrossCursor : Qt::ForbiddenCursor);
    Lbl_coor_X->setStyleSheet(readoutStyle(m.canDraw));
    Lbl_coor_Y->setStyleSheet(readoutStyle(m.canDraw));
    Lbl_coor_X->setText(m.timeText);
    Lbl_coor_Y->setText(m.valueText);
}

void FrmDefinirSenalesGraf::closeEvent(QCloseEvent* event) {
    // Closing by the frame discards the drawing; "&Aceptar" only hides.
    discarded_ = true;
    QDialog::closeEvent(event);
}

void FrmDefinirSenalesGraf::showEvent(QShowEvent* event) {
    accepted_ = false;
    QDialog::showEvent(event);
}
