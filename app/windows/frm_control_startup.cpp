// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL's part of the program's start-up (startup/startup.cpp runs it):
// its own controls before the configuration file, the generator preview
// filled from the model afterwards.
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "windows/frm_control.h"

namespace {
// The help document travels inside the program.
const char* const kHelpDocument = ":/help/ayuda.html";
}  // namespace

void FrmControl::load() {
    const VarGlob& g = session_.g;

    // The help document is a resource of the program's core library, which a
    // static link would drop unless something asks for it by name.
    Q_INIT_RESOURCE(kalmor);
    helpFile_ = QString::fromLatin1(kHelpDocument);
    // Nothing to play yet.
    Chk_onda->setEnabled(false);
    // Ranges of the sampling settings; the bars' change handlers echo the
    // values into the text boxes. Narrowing a range may move a bar, which
    // writes its value: the model's settings are shown again after it.
    const int16_t samples = g.RequestedSamples;
    const int16_t period = g.PeriodMs;
    Hsr_muestras->setRange(kSamplesMin, kSamplesMax);
    Hsr_Periodo->setRange(kPeriodMin, kPeriodMax);
    session_.settings().setSampling(samples, period);
    Txt_Muestras->setText(QString::number(g.RequestedSamples));
    Txt_Periodo->setText(QString::number(g.PeriodMs));
    TMR_ANALOGICO->stop();
    Tmr_onda->stop();
    Tmr_onda->setInterval(g.WaveStepMs);
}

void FrmControl::showStartPreview() {
    const VarGlob& g = session_.g;
    // One table entry per unit across, in the plot area's colours.
    pic_onda->setScale(1.0f, g.PlotUpper, 300.0f, g.PlotLower);
    pic_onda->setBackColor(g.Colores[5][1]);
    pic_onda->setForeColor(g.Colores[4][2]);
    // Real modules or the bench: always in sight.
    showBackend();
}
