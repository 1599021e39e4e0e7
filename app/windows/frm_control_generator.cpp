// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's generator panel: its controls go to the playback engine
// and the generator's windows (through their verbs), and the panel shows
// what the engine reports.
#include <QSignalBlocker>

#include "core/session.h"
#include "display/drawing_surface.h"
#include "display/waveform_preview.h"
#include "generator/wave_player.h"
#include "windows/frm_control.h"
#include "windows/generator_verbs.h"

void FrmControl::connectGenerator() {
    WavePlayer& player = session_.wavePlayer();
    // Code switching "&Generar" runs the same handler as a click.
    connect(Chk_onda, &QCheckBox::toggled, this, [&player](bool on) {
        if (on != player.playing()) player.setPlaying(on);
    });
    connect(&player, &WavePlayer::playingChanged, this, [this](bool on) {
        {
            const QSignalBlocker block(Chk_onda);
            Chk_onda->setChecked(on);
        }
        if (on) lbl_per_real_onda->clear();
        // Playback and the hand-set output never write at the same time.
        HSr_salanal->setEnabled(!on);
        Txt_salanal->setEnabled(!on);
    });
    connect(&player, &WavePlayer::availableChanged, Chk_onda, &QCheckBox::setEnabled);
    connect(&player, &WavePlayer::passMeasured, this,
            [this](int ms) { lbl_per_real_onda->setText(QString::number(ms)); });
    connect(&player, &WavePlayer::passCleared, lbl_per_real_onda, &QLabel::clear);
    connect(&player, &WavePlayer::described, this,
            [this](const QString& amplitude, const QString& offset, const QString& period) {
                LBL_AMPLITUD_ONDA->setText(amplitude);
                LBL_OFFSET_ONDA->setText(offset);
                LBL_PERIODO_ONDA->setText(period);
            });
    connect(&player, &WavePlayer::previewRequested, this,
            [this](float upper) { DrawWaveformPreview(*pic_onda, session_.g, upper); });
    connect(&player, &WavePlayer::cleared, this, [this] {
        pic_onda->setAutoRedraw(false);
        pic_onda->setAutoRedraw(true);
        pic_onda->cls();
        lbl_per_real_onda->clear();
    });

    connect(cmd_gen[0], &QPushButton::clicked, this, [this] { onGenerator(0); });
    connect(cmd_gen[1], &QPushButton::clicked, this, [this] { onGenerator(1); });
    connect(cmd_gen[2], &QPushButton::clicked, this, [this] { onGenerator(2); });
}

void FrmControl::onGenerator(int index) {
    WavePlayer& player = session_.wavePlayer();
    if (!generatorVerbs_ || index < 0 || index > 2) return;
    if (index < 2) {
        ClearWaveform();
        generatorVerbs_->showWaveDialog(index == 0 ? WaveFrame::Periodic : WaveFrame::Stimulus);
        return;
    }
    player.setPlaying(false);
    // The editor draws on the converter's codes; the plot keeps its limits.
    const std::optional<DrawnFigures> drawn = generatorVerbs_->editDrawnSignal();
    // The editor's load or its "&Borrar" emptied the table: nothing is left
    // to show or play, whether it was then accepted or closed by its frame.
    if (session_.g.WaveLength == 0) {
        player.ClearWaveform();
        return;
    }
    // Closed by its frame, the table kept.
    if (!drawn) return;
    player.setAvailable(true);
    player.requestPreview(session_.g.PlotUpper);
    player.setPlaying(true);
    player.describe(drawn->amplitude, drawn->offset, drawn->period);
    generatorVerbs_->showUserSignalDialog(*drawn);
}
