// The generator's playback: owns the timer that steps through the waveform
// table (Tmr_onda). Removing the waveform stops playback and leaves nothing
// to play.
#pragma once

#include <QObject>
#include <QTimer>

class WavePlayer : public QObject {
    Q_OBJECT
  public:
    explicit WavePlayer(QObject* parent = nullptr);

    // The playback timer (Tmr_onda); tests drive it by hand.
    QTimer& timer() { return timer_; }

    // The generator's clear action: playback stops and nothing is left to play.
    void ClearWaveform();

  signals:
    // The main window's generator box follows: "&Generar" unticked and off.
    void cleared();

  private:
    QTimer timer_;
};
