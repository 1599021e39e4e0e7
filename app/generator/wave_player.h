// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the waveform table on the analog output, one entry per step of its
// timer, and measures how long each pass through the table really took.
// It owns no widget: the main window's "&Generar" box, output controls and
// "Tiempo real" follow its signals.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/clock.h"
#include "core/mailbox.h"
#include "generator/playback_steps.h"

class AcquisitionThread;
struct VarGlob;

// A periodic timer: started at an interval, it fires every interval until
// stopped.
class PlaybackTimer {
  public:
    virtual ~PlaybackTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
    // Set by the owner; runs at every step.
    std::function<void()> fired;
};

// A QTimer that keeps to a schedule: step k is due k intervals after the
// start, so neither the steps' own time nor a late wake-up lengthens a pass;
// a step that is late fires at once and the next keeps its due time.
class QtPlaybackTimer : public PlaybackTimer {
  public:
    QtPlaybackTimer();
    void start(int intervalMs) override;
    void stop() override;
    bool active() const override { return running_; }
    // The QTimer that wakes each step, shown as Tmr_onda.
    QTimer* timer() { return &timer_; }

  private:
    void armNext();

    QTimer timer_;
    QElapsedTimer clock_;
    int intervalMs_ = 50;
    long long steps_ = 0;
    bool running_ = false;
    unsigned generation_ = 0;
};

// The analog output as playback sees it: the code it holds, how to send it
// a new one, and its largest code. Played on the acquisition thread, each
// pass gets a writer for the present module (deviceWriter, run on the
// thread) and the window is told of every code written (shown).
struct PlaybackOutput {
    std::function<int16_t()> code;
    std::function<void(int16_t)> write;
    std::function<int()> maximum;
    std::function<std::function<void(int16_t)>()> deviceWriter;
    std::function<void(int16_t)> shown;
};

class WavePlayer : public QObject {
    Q_OBJECT
  public:
    // Reads WaveTable, WaveLength, WaveOneShot and WaveStepMs, keeps
    // WaveIndex and WaveStartTime, and writes only through output, never
    // above its maximum. timer and clock: null takes a QTimer and a
    // monotonic clock.
    WavePlayer(VarGlob& g, PlaybackOutput output, std::unique_ptr<PlaybackTimer> timer = nullptr,
               std::unique_ptr<Clock> clock = nullptr, QObject* parent = nullptr);
    ~WavePlayer() override;

    // The playback timer as the main window shows it (Tmr_onda); null when
    // a test replaced it.
    QTimer* timer() const { return qtTimer_; }

    // From now on the steps run on the acquisition thread at their due
    // times (step k of a playback k intervals after its start); the window
    // thread only shows what they did.
    void playOn(std::shared_ptr<AcquisitionThread> thread);

    // "&Generar" switched on or off, by the user or by code: either way the
    // table starts again at entry 1 and the pass time is measured afresh.
    void setPlaying(bool on);
    bool playing() const { return playing_; }
    // The program is closing: no step runs any more; nothing else changes.
    void abandon();

    // One step: the present entry goes to the output (written only when it
    // differs from what the output holds), then the next entry is due.
    void tick();

    // The generator's clear action: nothing is left to play, playback stops,
    // "&Generar" is disabled, the parameters are emptied and the next table
    // plays repeatedly unless made otherwise.
    void ClearWaveform();

    // "&Generar" may be switched on: there is a table to play.
    void setAvailable(bool on);
    bool available() const { return available_; }

    // The amplitude, offset and period the present table was made from, as
    // the panel shows them.
    void describe(const QString& amplitude, const QString& offset, const QString& period);
    // The preview is drawn again, with upper as the top of the plot range
    // it scales to.
    void requestPreview(float upper) {
        previewUpper_ = upper;
        emit previewRequested(upper);
    }
    // The preview drawn again as last asked, after something erased it
    // (a recolouring); nothing before the first request. With no table it
    // draws no trace.
    void redrawPreview() {
        if (previewUpper_) emit previewRequested(*previewUpper_);
    }
    // "Tiempo real" shows nothing until the next pass ends.
    void clearPassTime() { emit passCleared(); }

  signals:
    // Playback started or stopped; the manual output controls are enabled
    // while it is stopped.
    void playingChanged(bool on);
    // A pass through the table ended after this many whole milliseconds.
    void passMeasured(int ms);
    // The waveform was removed: "&Generar" off and disabled, preview and
    // labels empty.
    void cleared();
    void availableChanged(bool on);
    void described(const QString& amplitude, const QString& offset, const QString& period);
    void previewRequested(float upper);
    void passCleared();
    // Every step played on the acquisition thread, as the window takes it.
    void stepPlayed(const PlaybackStep& step);

  private:
    void startSteps();
    void stopSteps();
    void applyStep(const PlaybackStep& step);

    VarGlob& g_;
    PlaybackOutput output_;
    std::unique_ptr<PlaybackTimer> timer_;
    std::unique_ptr<Clock> clock_;
    QTimer* qtTimer_ = nullptr;
    bool playing_ = false;
    bool available_ = false;
    std::optional<float> previewUpper_;
    // When the present pass began, monotonic seconds in double: a single
    // would lose the milliseconds after a few hours.
    double passStart_ = 0.0;
    std::shared_ptr<AcquisitionThread> thread_;
    int job_ = 0;
    // Counts playback starts and stops, so a step handed over late is known
    // for one of a playback no longer running.
    unsigned generation_ = 0;
    // Carries each step from the acquisition thread to this object's.
    Mailbox* mailbox_ = new Mailbox(this);
};
