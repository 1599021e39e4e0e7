// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL shows the settings model and writes its users' changes to it.
#include "common/prompts.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/mode_pictures.h"
#include "generator/wave_player.h"
#include "widgets/check_values.h"
#include "widgets/colours.h"
#include "windows/frm_control.h"

void FrmControl::connectSettings() {
    SettingsModel& m = session_.settings();
    connect(&m, &SettingsModel::changed, this, [this](SettingsGroup group) {
        showing_ = true;
        showSettings(group);
        showing_ = false;
        // Option buttons may not hold what was asked (two selected at once);
        // the model keeps what they show.
        takeControls();
    });
    for (QCheckBox* box : CHK_VIS) {
        connect(box, &QCheckBox::stateChanged, this, [this] { takeControls(); });
    }
    connect(Option1, &QRadioButton::toggled, this, [this] { takeControls(); });
    connect(OPT_Una, &QRadioButton::toggled, this, [this] { takeControls(); });
    connect(CHK_Guardar, &QCheckBox::stateChanged, this, [this] { takeControls(); });
}

void FrmControl::takeControls() {
    if (showing_) return;
    SettingsModel& m = session_.settings();
    std::array<CheckValue, 5> visible{};
    for (size_t i = 0; i < CHK_VIS.size(); ++i) {
        visible[i] = static_cast<CheckValue>(checkValue(CHK_VIS[i]));
    }
    m.setVisible(visible);
    m.setRecordingOptions(Option1->isChecked(), OPT_Una->isChecked(),
                          static_cast<CheckValue>(checkValue(CHK_Guardar)));
}

void FrmControl::showSettings(SettingsGroup group) {
    const SettingsModel& m = session_.settings();
    const VarGlob& g = m.globals();
    switch (group) {
        case SettingsGroup::TypeTag:
            LB_MODO->setProperty("Tag", m.typeTag().text());
            break;
        case SettingsGroup::ModeLabel:
            LB_MODO->setText(m.modeCaption());
            break;
        case SettingsGroup::UnitsCaption:
            for (QLabel* l : LBUnidades) l->setText(m.unitsCaption());
            break;
        case SettingsGroup::ModePicture:
            if (const QPixmap picture = modePicture(m.modePicture()); !picture.isNull()) {
                IMG_Modo->setPixmap(picture);
            }
            break;
        case SettingsGroup::OutputFrames:
            MRC_GENERADOR->setVisible(true);
            MRC_ONDAS->setVisible(true);
            MRC_Salida_Analogica->setVisible(true);
            break;
        case SettingsGroup::DataFileCaption:
            Lbl_archivo->setText(m.dataFileCaption());
            break;
        case SettingsGroup::PlotLimits:
            HSr_salanal->setMaximum(m.outputMaximum());
            break;
        case SettingsGroup::Sampling:
            // A value outside a bar's range is refused by the file's reader;
            // the bar never clamps it.
            if (g.RequestedSamples >= kSamplesMin && g.RequestedSamples <= kSamplesMax) {
                Hsr_muestras->setValue(g.RequestedSamples);
            }
            if (g.PeriodMs >= kPeriodMin && g.PeriodMs <= kPeriodMax) {
                Hsr_Periodo->setValue(g.PeriodMs);
            }
            break;
        case SettingsGroup::RecordingOptions:
            setOptionValue(Option1, m.continuous());
            setOptionValue(OPT_Una, m.once());
            setCheckValue(CHK_Guardar, static_cast<int>(m.save()));
            break;
        case SettingsGroup::ColoursApplied:
            // The generator preview is cleared in the plot area's colour.
            pic_onda->setBackColor(g.Colores[5][1]);
            break;
        case SettingsGroup::Colours:
            for (size_t i = 0; i < Lbl_Vis.size(); ++i) {
                setLabelColours(Lbl_Vis[i], m.labelColours()[i].back, m.labelColours()[i].fore);
            }
            break;
        case SettingsGroup::VisibleChannels:
            for (size_t i = 0; i < CHK_VIS.size(); ++i) {
                setCheckValue(CHK_VIS[i], static_cast<int>(m.visible()[i]));
            }
            break;
        case SettingsGroup::Channels:
            for (size_t i = 0; i < CHK_VIS.size(); ++i) {
                const bool shown = m.inputRowsShown()[i];
                CHK_VIS[i]->setVisible(shown);
                Lbl_Vis[i]->setVisible(shown);
                LBUnidades[i]->setVisible(shown);
            }
            break;
        case SettingsGroup::ModuleSilent:
            // Taking the module set-up (reading a file, or the dialog
            // opening) checked the module on its port.
            prompts::tellNoModuleOnPort(this);
            break;
        case SettingsGroup::PlotState:
            // XY mode plots two chosen channels; the adjustment of its width
            // holds the recording as it is.
            for (QCheckBox* box : CHK_VIS) box->setEnabled(!m.xyModeShown());
            cmd_inic->setEnabled(!m.xyAdjusting());
            break;
        default:
            break;
    }
}
