// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling engine: starts and stops recordings, has the acquisition
// thread read one sample per slot, keeps the present sweep and writes it to
// the data file. The reads run on the thread at their deadlines; what the
// thread hands over is stored, shown and drawn on the window thread. It owns
// no widget; windows show what it reports and draw through a TraceSink.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "acquisition/sample_record.h"
#include "acquisition/sweep_buffer.h"
#include "common/sample_log.h"
#include "core/acquisition_thread.h"
#include "core/mailbox.h"
#include "core/module_kind.h"

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
    // while it records: the plot window's clear asks it to restart the sweep.
    // While none runs, the configuration loader copies the file's samples and
    // period into SweepSamples and SweepPeriodMs, as the next start would.
    // thread: where the reads run (shared with the generator); null makes
    // one of its own.
    Recorder(TavoLibrary& library, VarGlob& g, SettingsSource settings, TraceSink* sink = nullptr,
             std::shared_ptr<AcquisitionThread> thread = nullptr, QObject* parent = nullptr);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void setSink(TraceSink* sink) { sink_ = sink; }
    // Every sample with its sweep, number and the time it was read on the
    // acquisition thread's clock; null for none. The log is told when each
    // recording begins and ends. Samples are pushed on the acquisition thread
    // right after their read, so a busy window thread never holds them back.
    // Set it between recordings.
    void setSampleLog(SampleLog* log) { log_ = log; }
    // What a read between recordings (readNow) runs before each library
    // call; by default the pending window events, so the program answers
    // during slow 8-bit retries.
    void setYield(std::function<void()> yield) { yield_ = std::move(yield); }
    // Runs on the acquisition thread before each attempt of a read (tests
    // put the window's commands there, to land in the middle of a read).
    void setBetweenAttempts(std::function<void()> hook);

    // The output code the analog output holds, written on the acquisition
    // thread after each output write; every sample records it.
    std::shared_ptr<std::atomic<int16_t>> outputCode() const { return outputCode_; }

    void StartStopRecording();
    void StopSampling();

    // The program is closing: no tick runs any more and nothing is written;
    // the recording is left as it was.
    void abandon();
    // The plot window's configure panel, printing and the colour dialog
    // hold the reads; resuming restarts the schedule from now. The time held
    // is left out of the sweep's measured period.
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
    // When the next sample is due on the engine's clock; nothing while no
    // reads are scheduled.
    std::optional<double> nextSampleDue() const;
    const AcquisitionThread& thread() const { return *thread_; }
    // The sampling timer as the main window shows it (TMR_ANALOGICO): its
    // interval is the period. The reads wait on the acquisition thread, not
    // on it; it is stopped with them.
    QTimer* shownTimer() { return &shownTimer_; }
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
    // Every sample taken, in order, when the window thread stores it.
    void sampleTaken(const SampleRecord& sample);
    // first: the first failure since the recording started or since the
    // last write that succeeded.
    void writeFailed(const QString& fileName, const QString& reason, bool first);
    void writeSucceeded(const QString& fileName);

  private:
    // What the thread needs for its reads, copied on the window thread so
    // the thread never reads the globals.
    struct ReadPlan {
        ModuleKind kind = ModuleKind::Converter8;
        int16_t port = 0;
        int16_t address = 0;
        int16_t inputMode = 0;
        float scale = 1.0f;
        int sweepSamples = 0;
    };
    // One recording's sampling as the thread keeps it; shared by the job and
    // the engine, everything under mutex.
    struct Sampler {
        std::mutex mutex;
        ReadPlan plan;
        unsigned generation = 0;
        double start = 0.0;  // the recording's start on the engine's clock
        int counter = 0;     // the sample read now or last, as SampleCounter
        int sweep = 1;
        bool stopped = false;
        bool alive = true;  // cleared when the engine goes
        // The log every read goes to, the recording's start on the engine's
        // clock, and the recording's number of this sampler's sweep 1 (a
        // cleared sweep starts a new sampler; the numbering goes on).
        SampleLog* log = nullptr;
        double recordingStart = 0.0;
        int32_t firstSweep = 1;
    };

    void PrepareRecording();
    // At a sweep's end the text is taken at once and written just after the
    // hand-over, so a slow disk never holds up what follows. A stop writes
    // at once, after any sweep still waiting.
    enum class When { Now, AfterTick };
    void WriteDataFile(When when);
    void flushPendingWrite();
    void writeAndReport(const QString& fileName, const QByteArray& text);
    ReadPlan currentPlan() const;
    // continueSweeps: a cleared sweep, numbered after the one it ends.
    void startReads(bool continueSweeps = false);
    // Ends the reads; returns the sample count the thread had reached.
    int stopReads();
    // On the thread: one slot of the recording.
    bool sampleSlot(const std::shared_ptr<Sampler>& sampler, const AcquisitionThread::Tick& tick);
    // Before each attempt of an 8-bit read: go on, stop trying, or give up
    // because the engine has gone.
    enum class Attempt { Go, Stop, Gone };
    // The four inputs in units; false when the engine went during the read.
    static bool readCodes(TavoLibrary& library, const ReadPlan& plan,
                          const std::function<Attempt(int)>& beforeAttempt,
                          std::array<float, 4>& c);
    // From the thread: the sample goes to the window thread, in order.
    void handOver(const SampleRecord& r);
    void consume(const SampleRecord& r);
    void drawSample(const RecorderSettings& s, const std::array<float, 4>& c, int16_t output);
    void setSweepStart(double t);
    // The reads stop now, their next slot due at nextDue.
    void beginHold(double nextDue);

    TavoLibrary& library_;
    VarGlob& g_;
    SettingsSource settings_;
    TraceSink* sink_;
    std::shared_ptr<AcquisitionThread> thread_;
    SampleLog* log_ = nullptr;
    double recordingStart_ = 0.0;
    std::function<void()> yield_;
    // Cleared by the destructor; a read between recordings checks it after
    // each yield.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::mutex hookMutex_;
    std::function<void()> betweenAttempts_;
    std::shared_ptr<std::atomic<int16_t>> outputCode_ =
        std::make_shared<std::atomic<int16_t>>(int16_t{0});
    // "Una vez", as the thread sees it at a sweep's end.
    std::shared_ptr<std::atomic<bool>> once_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<Sampler> sampler_;
    int job_ = 0;
    QTimer shownTimer_;
    // Carries each sample from the acquisition thread to this object's.
    Mailbox* mailbox_ = new Mailbox(this);

    bool paused_ = false;
    // The hold under way: when it began and when the next slot was due.
    struct HoldStart {
        double at = 0.0;
        double nextDue = 0.0;
    };
    std::optional<HoldStart> holding_;
    // A hold ended: when it began, and how much later than the schedule's
    // own slot the reads resumed. Kept until the sweep it fell in is
    // measured.
    struct Hold {
        double at = 0.0;
        double shift = 0.0;
    };
    std::vector<Hold> holds_;
    bool abandoned_ = false;
    // Counts starts, clears and abandons, so a sample handed over late is
    // known for one of a recording no longer running.
    unsigned generation_ = 0;
    int sweep_ = 1;
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
};
