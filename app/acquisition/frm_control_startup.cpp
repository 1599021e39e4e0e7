// FRM_CONTROL's load handler: the program's start-up sequence.
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>

#include <cmath>

#include "acquisition/frm_control.h"
#include "acquisition/tavo_library.h"
#include "common/colors.h"
#include "common/prompts.h"
#include "common/twips.h"
#include "config/app_context.h"
#include "config/config_file.h"
#include "config/frm_configuracion.h"
#include "config/mode_pictures.h"
#include "display/drawing_surface.h"
#include "display/frm_registro.h"
#include "display/graduations.h"

namespace {
// The help document travels inside the program.
const char* const kHelpDocument = ":/help/ayuda.html";

void setLabelColours(QLabel* l, int32_t back, int32_t fore) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, toQColor(back));
    pal.setColor(QPalette::WindowText, toQColor(fore));
    l->setPalette(pal);
    l->setAutoFillBackground(true);
}

// Upper plot limit for the module type, computed wide and kept as a single.
float upperLimit(const VarGlob& g) {
    const double full = g.ModuleType == 2 ? 4.095 : 2.5;
    return static_cast<float>(static_cast<double>(g.ScaleFactor) * full);
}
}  // namespace

void FrmControl::load() {
    VarGlob& g = ctx_.g;

    // 1: the document is a resource of the program's core library, which a
    // static link would drop unless something asks for it by name.
    Q_INIT_RESOURCE(kalmor);
    helpFile_ = QString::fromLatin1(kHelpDocument);
    // 2
    g.ModuleType = 0;
    g.ModuleAddress = 0;
    g.PeriodMs = 100;
    g.RequestedSamples = 100;
    g.SweepPeriodMs = 100;
    g.SweepSamples = 100;
    g.ScaleFactor = 1.0f;
    g.UnitsText = QStringLiteral("V");
    g.PlotUpper = 2.5f;
    g.PlotLower = 0.0f;
    // 3
    Chk_onda->setEnabled(false);
    // 4
    g.XYChannelX = 0;
    g.XYChannelY = 1;
    // 5: touching the plot window creates it, hidden.
    FrmRegistro* registro = ctx_.frmRegistro();
    DrawingSurface* trazado = registro->PIC_TRAZADO;
    g.XYPlotWidth = static_cast<float>(pixelsToTwipsY(trazado->height()));
    // 6
    g.LineBreak = QStringLiteral("\r\n");
    // 7
    g.WaveStepMs = 50;
    g.WavePeriodMinMs = 100;
    g.WavePeriodMaxMs = static_cast<int16_t>(300 * g.WaveStepMs);
    // 8: the change handler copies the value into Txt_Muestras.
    Hsr_muestras->setMinimum(50);
    Hsr_muestras->setMaximum(10000);
    Hsr_muestras->setValue(50);
    g.RequestedSamples = 50;
    // 9
    Hsr_Periodo->setMinimum(100);
    Hsr_Periodo->setMaximum(30000);
    Hsr_Periodo->setValue(100);
    g.PeriodMs = 100;
    // 10
    TMR_ANALOGICO->stop();
    Tmr_onda->stop();
    Tmr_onda->setInterval(g.WaveStepMs);
    // 11: the plot window is loaded by now (step 5), and stays hidden.
    // 12
    ResetDefaultColours();
    // 13
    g.DataFileName = QStringLiteral("DATOS.DAT");
    // 14
    registro->CHK_REJILLA->setChecked(true);
    // 15
    const QString name =
        ctx_.arguments().isEmpty() ? QStringLiteral("Config.CFG") : ctx_.arguments().constFirst();
    if (!LoadConfiguration(name)) {
        prompts::message(this, QMessageBox::Warning, QStringLiteral(" Error al cargar"),
                         QStringLiteral(" Error al cargar el fichero de configuración: ") + name +
                             QStringLiteral(" Es posible que la aplicación no funcione "
                                            "correctamente."));
    }
    // 16: a limit beyond the range of a single keeps the one in force.
    if (const float upper = upperLimit(g); std::isfinite(upper)) g.PlotUpper = upper;
    HSr_salanal->setMaximum(g.ModuleType == 2 ? 4095 : 255);
    g.PlotLower = 0.0f;
    // 17
    for (QLabel* l : LBUnidades) l->setText(g.UnitsText);
    // 18: the dialog may already exist from step 15; touching it creates it.
    FrmConfiguracion* configuracion = ctx_.frmConfiguracion();
    int selectedType = 4;
    for (int i = 0; i < 4; ++i) {
        if (configuracion->OPT_TIPO[i]->isChecked()) {
            selectedType = i;
            break;
        }
    }
    LB_MODO->setProperty("Tag", QStringLiteral(" %1").arg(selectedType));
    // 19
    configuracion->cmb_pastilla->clear();
    configuracion->cmb_pastilla->addItem(QStringLiteral("0"));
    // 20
    trazado->setScale(0.0f, g.PlotUpper, static_cast<float>(g.RequestedSamples), g.PlotLower);
    registro->PIC_GRADUACION_X->resize(trazado->width(), registro->PIC_GRADUACION_X->height());
    registro->PIC_GRADUACION_Y->resize(registro->PIC_GRADUACION_Y->width(), trazado->height());
    DrawGraduations(ctx_, registro);
    // 21
    pic_onda->setScale(1.0f, g.PlotUpper, 300.0f, g.PlotLower);
    // 22: a 12-bit module's output is left as it is.
    if (g.ModuleType == 0) {
        g.AnalogOutValue = 0;
        ctx_.library().Escribir_Ad8b32(0, g.PortBase, g.ModuleAddress);
    }
    // 23
    TMR_ANALOGICO->setInterval(g.SweepPeriodMs);
    // 24: loaded by step 18 already; the dialog stays hidden.
    // 25
    for (QLabel* l : LBUnidades) l->setText(g.UnitsText);
    // 26
    IMG_Modo->setPixmap(modePicture(0));
    // 27
    trazado->setBackColor(g.Colores[5][1]);
    trazado->setForeColor(g.Colores[5][2]);
    pic_onda->setBackColor(g.Colores[5][1]);
    pic_onda->setForeColor(g.Colores[4][2]);
}

bool FrmControl::LoadConfiguration(const QString& name) {
    return ::LoadConfiguration(ctx_, name);
}

void FrmControl::ResetDefaultColours() {
    constexpr int32_t kWhite = 0xFFFFFF;
    constexpr int32_t kBlack = 0;
    // Red + 256 * green + 65536 * blue; each contrast colour keeps the value
    // label readable on its background.
    constexpr std::array<std::array<int32_t, 2>, 6> kDefaults = {{
        {0xFF0000, kWhite},  // E0 blue
        {0x00FF00, kBlack},  // E1 green
        {0x0000FF, kWhite},  // E2 red
        {0xFFFF00, kBlack},  // E3 cyan
        {0xFF00FF, kWhite},  // SA magenta
        {kWhite, kBlack},    // plot area
    }};
    VarGlob& g = ctx_.g;
    for (size_t i = 0; i < kDefaults.size(); ++i) {
        g.Colores[i][1] = kDefaults[i][0];
        g.Colores[i][2] = kDefaults[i][1];
    }
    for (size_t i = 0; i < Lbl_Vis.size(); ++i) {
        setLabelColours(Lbl_Vis[i], g.Colores[i][1], g.Colores[i][2]);
    }
    DrawingSurface* trazado = ctx_.frmRegistro()->PIC_TRAZADO;
    trazado->setForeColor(g.Colores[5][2]);
    trazado->setBackColor(g.Colores[5][1]);
}
