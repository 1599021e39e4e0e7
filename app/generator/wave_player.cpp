#include "generator/wave_player.h"

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {
    timer_.setObjectName(QStringLiteral("Tmr_onda"));
    timer_.setTimerType(Qt::PreciseTimer);
}

void WavePlayer::ClearWaveform() {
    timer_.stop();
    emit cleared();
}
