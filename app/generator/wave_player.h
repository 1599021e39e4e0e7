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
    // Asks for the generator preview to be drawn again for a plot range
    // whose top is upper; the window that shows the preview draws it.
    void requestPreview(float upper) { emit previewRequested(upper); }

  signals:
    // The main window's generator box follows: "&Generar" unticked and off.
    void cleared();
    void previewRequested(float upper);

  private:
    QTimer timer_;
};
