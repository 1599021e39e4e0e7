// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_registro.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "acquisition/recorder.h"
#include "acquisition/sampling_holds.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/trace_plotter.h"
#include "widgets/check_values.h"
#include "widgets/options.h"
#include "widgets/place.h"
#include "widgets/twips.h"
#include "windows/plot_layout.h"
#include "windows/plot_trace_sink.h"
#include "windows/window_verbs.h"

namespace {

constexpr int32_t kLightGrey = 0xC0C0C0;
constexpr int32_t kWhite = 0xFFFFFF;

DrawingSurface* surface(QWidget* parent, const char* name, int left, int top, int width, int height,
                        int32_t back) {
    auto* s = place(new DrawingSurface(parent), name, left, top, width, height);
    s->setAutoRedraw(true);
    s->setBackColor(back);
    return s;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* f = place(new QGroupBox(caption, parent), name, left, top, width, height);
    f->setAutoFillBackground(true);
    return f;
}

}  // namespace

FrmRegistro::FrmRegistro(Session& session, WindowVerbs& windows, QWidget* parent)
    : QWidget(parent), session_(session), windows_(windows) {
    setObjectName(QStringLiteral("FRM_REGISTRO"));
    setWindowTitle(QStringLiteral("Registro"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    setFont(f);
    resize(twipsToPixelsX(8670), twipsToPixelsY(5160));

    CMD_CONTROL =
        place(new QPushButton(QStringLiteral("&Control"), this), "CMD_CONTROL", 60, 60, 852, 312);
    CMD_LIMPIAR =
        place(new QPushButton(QStringLiteral("&Limpiar"), this), "CMD_LIMPIAR", 900, 60, 852, 312);
    BT_Configurar = place(new QPushButton(QStringLiteral("&Configurar"), this), "BT_Configurar",
                          1770, 60, 915, 312);
    BT_Imprimir = place(new QPushButton(QStringLiteral("&Imprimir"), this), "BT_Imprimir", 2700, 60,
                        852, 312);
    BT_GuardarImagen = place(new QPushButton(QStringLiteral("Guardar imagen"), this),
                             "BT_GuardarImagen", 3570, 60, 1395, 312);
    Lbl_text_X = place(new QLabel(QStringLiteral("x"), this), "Lbl_text_X", 5295, 60, 165, 285);
    Lbl_coor_X = place(new QLabel(this), "Lbl_coor_X", 5520, 90, 555, 255);
    Lbl_text_Y = place(new QLabel(QStringLiteral("y"), this), "Lbl_text_Y", 6165, 60, 165, 285);
    Lbl_coor_Y = place(new QLabel(this), "Lbl_coor_Y", 6360, 90, 795, 255);

    pic_escalas = surface(this, "pic_escalas", 0, 360, 8532, 4632, kLightGrey);
    PIC_TRAZADO = surface(pic_escalas, "PIC_TRAZADO", 720, 150, 7485, 4185, kWhite);
    PIC_TRAZADO->setAutoRedraw(false);
    PIC_GRADUACION_Y = surface(pic_escalas, "PIC_GRADUACION_Y", 120, 0, 540, 4575, kLightGrey);
    PIC_GRADUACION_X = surface(pic_escalas, "PIC_GRADUACION_X", 720, 4410, 7812, 192, kLightGrey);
    // The trace area draws over the strips where they meet.
    PIC_TRAZADO->raise();

    MRC_Configurar =
        frame(PIC_TRAZADO, "MRC_Configurar", QStringLiteral("Configurar"), 0, 0, 2115, 2055);
    // Wide enough for the whole caption in the program's fonts, up to the box.
    Label1 = place(new QLabel(QStringLiteral("Límite Superior"), MRC_Configurar), "Label1", 60, 330,
                   1230, 210);
    TXT_LSuperior = place(new QLineEdit(MRC_Configurar), "TXT_LSuperior", 1320, 300, 645, 285);
    Label2 = place(new QLabel(QStringLiteral("Límite Inferior"), MRC_Configurar), "Label2", 60, 690,
                   1230, 210);
    TXT_Linferior = place(new QLineEdit(MRC_Configurar), "TXT_Linferior", 1320, 600, 645, 285);
    CHK_BORRADO = place(new QCheckBox(QStringLiteral("AutoBorrado"), MRC_Configurar), "CHK_BORRADO",
                        60, 1020, 1335, 195);
    CHK_REJILLA = place(new QCheckBox(QStringLiteral("Rejilla"), MRC_Configurar), "CHK_REJILLA", 60,
                        1320, 795, 195);
    CHK_MODO = place(new QCheckBox(QStringLiteral("Modo XY"), MRC_Configurar), "CHK_MODO", 1020,
                     1320, 975, 195);
    BT_Aplicar = place(new QPushButton(QStringLiteral("&Aplicar"), MRC_Configurar), "BT_Aplicar",
                       60, 1620, 975, 315);
    BT_Cancelar = place(new QPushButton(QStringLiteral("&Cancelar"), MRC_Configurar), "BT_Cancelar",
                        1080, 1620, 975, 315);
    MRC_Configurar->hide();

    MRC_MODO_XY = frame(this, "MRC_MODO_XY", QStringLiteral("Modo XY"), 6240, 480, 1995, 2595);
    frm_ejex = frame(MRC_MODO_XY, "frm_ejex", QStringLiteral("Eje X"), 180, 300, 735, 1575);
    frm_ejey = frame(MRC_MODO_XY, "frm_ejey", QStringLiteral("Eje Y"), 1080, 300, 735, 1575);
    static const char* const kChannel[5] = {"E0", "E1", "E2", "E3", "SA"};
    static const int kTop[5] = {540, 780, 1020, 1260, 300};
    for (int i = 0; i < 5; ++i) {
        const QByteArray xName = "opt_x_" + QByteArray::number(i);
        const QByteArray yName = "opt_y_" + QByteArray::number(i);
        opt_x[i] = place(new QRadioButton(QLatin1String(kChannel[i]), frm_ejex), xName.constData(),
                         60, kTop[i], 615, 195);
        opt_y[i] = place(new QRadioButton(QLatin1String(kChannel[i]), frm_ejey), yName.constData(),
                         60, kTop[i], 615, 195);
    }
    opt_x[0]->setChecked(true);
    opt_y[0]->setChecked(true);
    cmd_ajustar = place(new QPushButton(QStringLiteral("Ajus&Tar"), MRC_MODO_XY), "cmd_ajustar",
                        180, 1920, 1635, 255);
    BT_DOWN =
        place(new QPushButton(QStringLiteral("<"), MRC_MODO_XY), "BT_DOWN", 180, 2160, 675, 255);
    BT_UP = place(new QPushButton(QStringLiteral(">"), MRC_MODO_XY), "BT_UP", 1140, 2160, 675, 255);
    MRC_MODO_XY->hide();
    MRC_MODO_XY->raise();

    tracePlotter = new TracePlotter(PIC_TRAZADO, this);
    // "Limpiar" clears the area and the recorder starts the running sweep
    // over, timed from now.
    connect(CMD_LIMPIAR, &QPushButton::clicked, this, [this] {
        const SettingsModel& m = session_.settings();
        PlotScale scale = plotScale(m);
        scale.xyMode = m.xyMode() == CheckValue::Checked;
        tracePlotter->clear(scale, m.grid() == CheckValue::Checked);
    });
    connect(tracePlotter, &TracePlotter::cleared, &session_.recorder(), &Recorder::restartSweep);
    sink_ = std::make_unique<PlotTraceSink>(session_, *this);
    session_.recorder().setSink(sink_.get());
    connectSettings();
    connectInteraction();
}

FrmRegistro::~FrmRegistro() {
    session_.recorder().setSink(nullptr);
}

void FrmRegistro::load() {
    session_.g.XYPlotWidth = static_cast<float>(pixelsToTwipsY(PIC_TRAZADO->height()));
}

PlotSurfaces FrmRegistro::surfaces() const {
    return {PIC_TRAZADO, PIC_GRADUACION_X, PIC_GRADUACION_Y};
}

void FrmRegistro::showStartScale() {
    const VarGlob& g = session_.g;
    PIC_TRAZADO->setScale(0.0f, g.PlotUpper, static_cast<float>(g.RequestedSamples), g.PlotLower);
    PIC_GRADUACION_X->resize(PIC_TRAZADO->width(), PIC_GRADUACION_X->height());
    PIC_GRADUACION_Y->resize(PIC_GRADUACION_Y->width(), PIC_TRAZADO->height());
    DrawGraduations(surfaces(), plotScale(session_.settings()));
}

void FrmRegistro::connectSettings() {
    connect(&session_.settings(), &SettingsModel::changed, this, [this](SettingsGroup group) {
        showing_ = true;
        showSettings(group);
        showing_ = false;
        takeControls();
    });
    connect(CHK_BORRADO, &QCheckBox::stateChanged, this, [this] { takeControls(); });
    connect(CHK_REJILLA, &QCheckBox::stateChanged, this, [this] { takeControls(); });
    connect(CHK_MODO, &QCheckBox::stateChanged, this, [this] { takeControls(); });
    for (size_t i = 0; i < opt_x.size(); ++i) {
        connect(opt_x[i], &QRadioButton::toggled, this, [this] { takeControls(); });
        connect(opt_y[i], &QRadioButton::toggled, this, [this] { takeControls(); });
    }
}

void FrmRegistro::takeControls() {
    if (showing_) return;
    SettingsModel& m = session_.settings();
    m.setPlotOptions(static_cast<CheckValue>(checkValue(CHK_REJILLA)),
                     static_cast<CheckValue>(checkValue(CHK_MODO)));
    m.setAutoClear(CHK_BORRADO->isChecked());
    const auto selected = [](const std::array<QRadioButton*, 5>& group) {
        const int index = firstChecked(group);
        return static_cast<int16_t>(index < 0 ? kNoOption : index);
    };
    m.setAxes(selected(opt_x), selected(opt_y));
}

void FrmRegistro::showSettings(SettingsGroup group) {
    const SettingsModel& m = session_.settings();
    const VarGlob& g = m.globals();
    switch (group) {
        case SettingsGroup::PlotOptions:
            setCheckValue(CHK_REJILLA, static_cast<int>(m.grid()));
            setCheckValue(CHK_MODO, static_cast<int>(m.xyMode()));
            CHK_BORRADO->setChecked(m.autoClear());
            break;
        case SettingsGroup::XYChannels:
            // A group with no option selected is left as it is.
            if (m.axisX() >= 0 && m.axisX() < kNoOption) opt_x[size_t(m.axisX())]->setChecked(true);
            if (m.axisY() >= 0 && m.axisY() < kNoOption) opt_y[size_t(m.axisY())]->setChecked(true);
            break;
        case SettingsGroup::Channels:
            for (size_t i = 0; i < opt_x.size(); ++i) {
                opt_x[i]->setVisible(m.axisOptionsShown()[i]);
                opt_y[i]->setVisible(m.axisOptionsShown()[i]);
            }
            break;
        case SettingsGroup::PlotColours:
            PIC_TRAZADO->setForeColor(g.Colores[5][2]);
            PIC_TRAZADO->setBackColor(g.Colores[5][1]);
            break;
        case SettingsGroup::ColoursApplied:
            // The trace area is cleared in the new colours; the grid, when
            // ticked, is drawn again.
            PIC_TRAZADO->setBackColor(g.Colores[5][1]);
            PIC_TRAZADO->setForeColor(g.Colores[5][2]);
            if (m.grid() == CheckValue::Checked) {
                DrawGrid(PIC_TRAZADO, plotScale(m), g.Colores[5][2]);
            }
            break;
        default:
            break;
    }
}

void FrmRegistro::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutPlotWindow(session_, this);
}
