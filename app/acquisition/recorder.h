// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling engine: starts and stops recordings, takes one sample per
// tick of its timer, keeps the present sweep and writes it to the data file.
// It owns no widget; windows show what it reports and draw through a
// TraceSink.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "acquisition/sample_log.h"
#include "acquisition/sampling_timer.h"
#include "acquisition/sweep_buffer.h"

class TavoLibrary;
class TraceSink;
struct VarGlob;

// What the engine reads of the settings model's options; the module, the
// sampling settings and the data file name it reads from the globals.
struct RecorderSettings {
    bool once = false;         // "Una vez" rather than "Continuo"
    bool recordToFile = true;  // "Grabar en:"
    std::array<bool, 5> visible{true, true, true, true, true};
    bool xyMode = false;
    bool autoClear = false;  // "AutoBorrado"
    bool grid = true;        // "Rejilla"
};

// The measured period as lbl_Preal shows it: whole milliseconds.
QString periodText(double ms);

class Recorder : public QObject {
    Q_OBJECT
  public:
    using SettingsSource = std::function<RecorderSettings()>;

    // The engine keeps its run state in the globals (Recording, SweepSamples,
    // SweepPeriodMs, SampleCounter, SweepStartTime) and is their one writer
    // while it lives: the plot window's clear asks it to restart the sweep.
    // timer and clock: null takes a QTimer and a monotonic clock.
    Recorder(TavoLibrary& library, VarGlob& g, SettingsSource settings, TraceSink* sink = nullptr,
             std::unique_ptr<SamplingTimer> timer = nullptr, std::unique_ptr<Clock> clock = nullptr,
             QObject* parent = nullptr);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void setSink(TraceSink* sink) { sink_ = sink; }
    // Every sample as it is read, with its sweep, number and read time; null
    // for none. The log is told when each recording begins and ends.
    void setSampleLog(SampleLog* log) { log_ = log; }
    // What the 8-bit read runs before each library call; by default the
    // pending window events, so the program answers during slow retries.
    void setYield(std::function<void()> yield) { yield_ = std::move(yield); }

    void StartStopRecording();
    void StopSampling();
    void SamplingTick();

    // The program is closing: no tick runs any more and nothing is written;
    // the recording is left as it was.
    void abandon();
    // The plot window's configure panel, printing and the colour dialog
    // hold the ticks; resuming restarts the schedule from now.
    void pause();
    void resume();
    // The plot window's clear command: the running sweep starts over.
    void restartSweep();
    // The five value labels go blank (a new XY channel choice): each row's
    // next sample writes it again.
    void blankValues();
    // A reading between recordings for a value label (row 0..4), while the
    // timer is off; nothing while it runs.
    std::optional<QString> readNow(int row);
    bool timerActive() const;
    // Samples are being taken: a recording that is neither paused nor
    // abandoned, whether its timer waits or a tick is under way (the 8-bit
    // read lets other handlers run in the middle of a tick).
    bool samplingRunning() const;
    // The program is closing; nothing may start, stop or write any more.
    bool abandoned() const { return abandoned_; }

    bool recording() const;
    double sweepStartTime() const { return sweepStartTime_; }
    const SweepBuffer& sampleBuffer() const { return sampleBuffer_; }
    const std::array<float, 7>& lastPoint() const { return lastPoint_; }

  signals:
    void recordingStarted();
    void recordingStopped();
    // Lbl_Contamuestras and lbl_Preal go blank.
    void sweepLabelsCleared();
    // StopSampling: the counter, the period and every value label go blank.
    void samplingStopped();
    void counterChanged(int sampleCounter);
    void valueChanged(int row, const QString& text);
    void periodMeasured(double ms);
    void sweepEnded();
    // first: the first failure since the recording started or since the
    // last write that succeeded.
    void writeFailed(const QString& fileName, const QString& reason, bool first);
    void writeSucceeded(const QString& fileName);

  private:
    void PrepareRecording();
    // At a sweep's end the text is taken at once and written just after the
    // tick, so a slow disk delays neither the next sweep's first sample nor
    // the schedule. A stop writes at once, after any sweep still waiting.
    enum class When { Now, AfterTick };
    void WriteDataFile(When when);
    void flushPendingWrite();
    void writeAndReport(const QString& fileName, const QByteArray& text);
    // False when the engine was destroyed during a yield.
    bool readChannels(std::array<float, 4>& c);
    void ReadChannels12(std::array<float, 4>& c);
    bool ReadChannels8(std::array<float, 4>& c);
    void drawSample(const RecorderSettings& s, const std::array<float, 4>& c);
    void setSweepStart(double t);
    void armFirst();
    void armNext();

    TavoLibrary& library_;
    VarGlob& g_;
    SettingsSource settings_;
    TraceSink* sink_;
    SampleLog* log_ = nullptr;
    int32_t sweepNumber_ = 0;
    double recordingStart_ = 0.0;
    std::unique_ptr<SamplingTimer> timer_;
    std::unique_ptr<Clock> clock_;
    std::function<void()> yield_;
    // Cleared by the destructor; a tick suspended in a yield checks it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    bool paused_ = false;
    bool abandoned_ = false;
    // Counts starts and abandons, so a tick knows whether its recording is
    // still the one running.
    unsigned generation_ = 0;
    // SweepStartTime in full: the global is a single, for display.
    double sweepStartTime_ = 0.0;
    SweepBuffer sampleBuffer_;
    std::array<float, 7> lastPoint_{};
    bool writeFailing_ = false;
    struct PendingWrite {
        QString fileName;
        QByteArray text;
    };
    std::optional<PendingWrite> pendingWrite_;

    // Sample slots are due at base + slot x period; see armNext.
    double scheduleBase_ = 0.0;
    long long nextSlot_ = 0;
};
