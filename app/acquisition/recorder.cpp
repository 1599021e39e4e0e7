// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/recorder.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

#include "acquisition/analog_output.h"
#include "acquisition/data_file.h"
#include "acquisition/sample_units.h"
#include "common/atomic_file.h"
#include "common/numbers.h"
#include "core/tavo_library.h"
#include "core/trace_sink.h"
#include "core/var_glob.h"

namespace {
constexpr int kReadAttempts = 10;
}  // namespace

QString periodText(double ms) {
    // A period beyond any sweep's (or not a number) has no text.
    if (!(std::fabs(ms) < 1e15)) return QString();
    return QString::number(static_cast<long long>(std::floor(ms + 0.5)));
}

Recorder::Recorder(TavoLibrary& library, VarGlob& g, SettingsSource settings, TraceSink* sink,
                   std::shared_ptr<AcquisitionThread> thread, QObject* parent)
    : QObject(parent),
      library_(library),
      g_(g),
      settings_(std::move(settings)),
      sink_(sink),
      thread_(thread ? std::move(thread) : std::make_shared<AcquisitionThread>()),
      yield_([] { QCoreApplication::processEvents(); }) {
    shownTimer_.setObjectName(QStringLiteral("TMR_ANALOGICO"));
}

Recorder::~Recorder() {
    *alive_ = false;
    if (sampler_) {
        const std::lock_guard<std::mutex> lock(sampler_->mutex);
        sampler_->alive = false;
    }
    // A read under way ends before the engine does, a cancelled one too
    // (unless the engine ends from inside it, when the read sees alive
    // cleared).
    thread_->finishOwned(this);
    // A finished sweep still waiting is written; nobody is told any more.
    if (pendingWrite_) writeFileAtomically(pendingWrite_->fileName, pendingWrite_->text);
}

void Recorder::setBetweenAttempts(std::function<void()> hook) {
    const std::lock_guard<std::mutex> lock(hookMutex_);
    betweenAttempts_ = std::move(hook);
}

void Recorder::StartStopRecording() {
    if (g_.Recording == kFalse) {
        flushPendingWrite();
        g_.Recording = kTrue;
        paused_ = false;
        abandoned_ = false;
        writeFailing_ = false;
        emit recordingStarted();
        recordingStart_ = thread_->clock().now();
        if (log_) log_->recordingBegins(g_.DataFileName);
        PrepareRecording();
    } else {
        g_.Recording = kFalse;
        const int present = stopReads();
        // What the thread had already handed over belongs to the sweep.
        mailbox_->deliver();
        g_.SampleCounter = static_cast<int16_t>(std::min<int>(present, INT16_MAX));
        StopSampling();
        if (settings_().recordToFile) WriteDataFile(When::Now);
        if (log_) log_->recordingEnds();
        emit recordingStopped();
    }
}

void Recorder::PrepareRecording() {
    const RecorderSettings s = settings_();
    if (sink_) {
        sink_->prepare();
        if (s.grid) sink_->drawGrid();
        sink_->show();
    }
    g_.SampleCounter = 0;
    emit sweepLabelsCleared();
    if (sink_ && !s.xyMode) sink_->setTimeScale(g_.RequestedSamples);
    if (g_.RequestedSamples != g_.SweepSamples) {
        if (sink_) sink_->clearArea();
        g_.SampleCounter = 0;
        g_.SweepSamples = g_.RequestedSamples;
    }
    g_.SweepPeriodMs = g_.PeriodMs;
    // Indexes 0 to RequestedSamples + 1; a sweep fills 1 to SweepSamples.
    sampleBuffer_.resize(g_.RequestedSamples + 2);
    if (!abandoned_) startReads();
    if (sink_) {
        sink_->drawGraduations();
        if (s.grid) sink_->drawGrid();
    }
}

Recorder::ReadPlan Recorder::currentPlan() const {
    ReadPlan p;
    p.kind = moduleKindOf(g_.ModuleType);
    p.port = g_.PortBase;
    p.address = g_.ModuleAddress;
    p.inputMode = g_.InputMode;
    p.scale = g_.ScaleFactor;
    p.sweepSamples = g_.SweepSamples;
    return p;
}

void Recorder::startReads(bool continueSweeps) {
    if (job_) thread_->cancel(job_);
    // A new schedule: nothing it measures was held.
    holding_.reset();
    holds_.clear();
    ++generation_;
    sweep_ = 1;
    auto sampler = std::make_shared<Sampler>();
    sampler->plan = currentPlan();
    sampler->generation = generation_;
    sampler->log = log_;
    sampler->recordingStart = recordingStart_;
    if (continueSweeps && sampler_) {
        const std::lock_guard<std::mutex> lock(sampler_->mutex);
        sampler->firstSweep = sampler_->firstSweep + sampler_->sweep;
    }
    const double now = thread_->clock().now();
    sampler->start = now;
    setSweepStart(now);
    // The output as it stands; the thread updates it with every write.
    outputCode_->store(g_.AnalogOutValue);
    once_->store(settings_().once);
    if (sampler_) {
        const std::lock_guard<std::mutex> lock(sampler_->mutex);
        sampler_->alive = false;
    }
    sampler_ = sampler;
    const double period = static_cast<double>(g_.SweepPeriodMs) / 1000.0;
    job_ = thread_->start(
        now, period,
        [this, sampler](const AcquisitionThread::Tick& tick) { return sampleSlot(sampler, tick); },
        this, AcquisitionThread::Missed::CatchUp);
    shownTimer_.setInterval(g_.SweepPeriodMs);
}

int Recorder::stopReads() {
    if (job_) thread_->cancel(job_);
    job_ = 0;
    if (!sampler_) return g_.SampleCounter;
    const std::lock_guard<std::mutex> lock(sampler_->mutex);
    sampler_->stopped = true;
    return sampler_->counter;
}

void Recorder::StopSampling() {
    shownTimer_.stop();
    if (job_) thread_->cancel(job_);
    job_ = 0;
    emit samplingStopped();
}

void Recorder::abandon() {
    abandoned_ = true;
    shownTimer_.stop();
    ++generation_;
    // The counter stays where the thread had it, a read under way included.
    if (sampler_) g_.SampleCounter = static_cast<int16_t>(std::min(stopReads(), INT16_MAX));
    if (job_) thread_->cancel(job_);
    job_ = 0;
    if (log_ && recording()) log_->recordingEnds();
}

void Recorder::beginHold(double nextDue) {
    if (!holding_) holding_ = HoldStart{thread_->clock().now(), nextDue};
}

void Recorder::pause() {
    if (job_) {
        if (const std::optional<double> due = thread_->nextDue(job_)) beginHold(*due);
    }
    shownTimer_.stop();
    paused_ = true;
    if (job_) thread_->cancel(job_);
    job_ = 0;
}

void Recorder::resume() {
    paused_ = false;
    const std::optional<HoldStart> hold = std::exchange(holding_, std::nullopt);
    if (!recording() || abandoned_ || !sampler_) return;
    if (job_) thread_->cancel(job_);
    const double now = thread_->clock().now();
    const double period = static_cast<double>(g_.SweepPeriodMs) / 1000.0;
    if (hold && period > 0.0) {
        // Unheld, the next sample would have come at the first slot after
        // the hold began; it comes one period from now instead.
        double due = hold->nextDue;
        if (due <= hold->at) due += std::ceil((hold->at - due) / period + 1e-9) * period;
        holds_.push_back({hold->at, std::max(0.0, now + period - due)});
    }
    {
        // The module may have been set up anew meanwhile; the sweep keeps its
        // samples.
        const std::lock_guard<std::mutex> lock(sampler_->mutex);
        const int samples = sampler_->plan.sweepSamples;
        sampler_->plan = currentPlan();
        sampler_->plan.sweepSamples = samples;
    }
    once_->store(settings_().once);
    const std::shared_ptr<Sampler> sampler = sampler_;
    job_ = thread_->start(
        now, period,
        [this, sampler](const AcquisitionThread::Tick& tick) { return sampleSlot(sampler, tick); },
        this, AcquisitionThread::Missed::CatchUp);
}

void Recorder::blankValues() {
    for (int row = 0; row < 5; ++row) emit valueChanged(row, QString());
}

void Recorder::restartSweep() {
    g_.SampleCounter = 0;
    emit sweepLabelsCleared();
    if (!recording() || abandoned_) {
        setSweepStart(thread_->clock().now());
        return;
    }
    // Sample 1 comes one period after the clear, as after a start; a sample
    // under way belongs to the sweep cleared.
    const bool running = job_ != 0;
    if (job_) thread_->cancel(job_);
    job_ = 0;
    startReads(true);
    if (!running) {
        // Held: the new sweep waits for the resume from now on.
        if (const std::optional<double> due = thread_->nextDue(job_)) beginHold(*due);
        thread_->cancel(job_);
        job_ = 0;
    }
}

bool Recorder::recording() const {
    return g_.Recording != kFalse;
}

void Recorder::setSweepStart(double t) {
    sweepStartTime_ = t;
    g_.SweepStartTime = static_cast<float>(t);
}

bool Recorder::samplingRunning() const {
    return recording() && !paused_ && !abandoned_;
}

bool Recorder::timerActive() const {
    return job_ != 0 && thread_->scheduled(job_);
}

std::optional<double> Recorder::nextSampleDue() const {
    if (!job_) return std::nullopt;
    return thread_->nextDue(job_);
}

bool Recorder::sampleSlot(const std::shared_ptr<Sampler>& sampler,
                          const AcquisitionThread::Tick& tick) {
    SampleRecord r;
    ReadPlan plan;
    bool sweepDone = false;
    {
        const std::lock_guard<std::mutex> lock(sampler->mutex);
        if (sampler->stopped || !sampler->alive) return false;
        plan = sampler->plan;
        r.generation = sampler->generation;
        r.due = tick.due - sampler->start;
        r.read = tick.started - sampler->start;
        r.readClock = tick.started;
        if (sampler->counter < std::numeric_limits<int16_t>::max()) ++sampler->counter;
        if (sampler->counter > plan.sweepSamples) {
            if (once_->load()) {
                // The sweep is whole; nothing more is read.
                r.sweep = sampler->sweep + 1;
                r.index = 0;
                sweepDone = true;
            } else {
                sampler->counter = 1;
                ++sampler->sweep;
            }
        }
        r.sweep = sweepDone ? r.sweep : sampler->sweep;
        r.index = sweepDone ? 0 : sampler->counter;
    }
    if (sweepDone) {
        handOver(r);
        return false;
    }
    const auto beforeAttempt = [this, &sampler](int attempt) {
        std::function<void()> hook;
        {
            const std::lock_guard<std::mutex> lock(hookMutex_);
            hook = betweenAttempts_;
        }
        if (hook) hook();
        // A stop takes effect before the next attempt; an engine that ended
        // (a test may end it from the hook) is touched no more.
        const std::lock_guard<std::mutex> lock(sampler->mutex);
        if (!sampler->alive) return Attempt::Gone;
        return sampler->stopped && attempt > 0 ? Attempt::Stop : Attempt::Go;
    };
    if (!readCodes(library_, plan, beforeAttempt, r.inputs)) return false;
    {
        const std::lock_guard<std::mutex> lock(sampler->mutex);
        if (!sampler->alive) return false;
        r.output = outputCode_->load();
        // A read finished after the stop belongs to no sweep the log keeps.
        if (sampler->log && !sampler->stopped) {
            sampler->log->push({sampler->firstSweep + r.sweep - 1,
                                r.index,
                                r.readClock - sampler->recordingStart,
                                {r.inputs[0], r.inputs[1], r.inputs[2], r.inputs[3],
                                 static_cast<float>(r.output)}});
        }
    }
    handOver(r);
    return true;
}

void Recorder::handOver(const SampleRecord& r) {
    // Without a thread of its own the test's clock drives the engine, and
    // the sample is taken in at once, as a tick would.
    if (thread_->threaded()) {
        mailbox_->post([this, r] { consume(r); });
    } else {
        consume(r);
    }
}

void Recorder::consume(const SampleRecord& r) {
    // A sample of a recording stopped and started again, or of a sweep
    // cleared, is not this one's.
    if (r.generation != generation_) return;
    const RecorderSettings s = settings_();
    once_->store(s.once);
    if (r.sweep != sweep_) {
        sweep_ = r.sweep;
        const double t = r.readClock;
        // The sweep's end is the slot after its last sample, which a whole
        // sweep's write counts to.
        g_.SampleCounter = static_cast<int16_t>(std::min(g_.SweepSamples + 1, INT16_MAX));
        emit sweepEnded();
        if (r.index == 0) {
            // The stop writes the whole sweep.
            if (recording()) StartStopRecording();
            return;
        }
        if (s.recordToFile) WriteDataFile(When::AfterTick);
        if (sink_ && s.autoClear) {
            sink_->clearArea();
            if (s.grid) sink_->drawGrid();
        }
        // Holds that began in this sweep are left out; later ones belong to
        // the next.
        double held = 0.0;
        std::erase_if(holds_, [&](const Hold& h) {
            if (h.at >= t) return false;
            held += h.shift;
            return true;
        });
        emit periodMeasured((t - sweepStartTime_ - held) / static_cast<double>(g_.SweepSamples) *
                            1000.0);
        setSweepStart(t);
    }
    g_.SampleCounter = static_cast<int16_t>(std::min(r.index, INT16_MAX));
    const int k = g_.SampleCounter;
    if (sampleBuffer_.contains(SweepBuffer::kRows - 1, k)) {
        for (int i = 0; i < 4; ++i) sampleBuffer_.at(i, k) = r.inputs[static_cast<size_t>(i)];
        sampleBuffer_.at(4, k) = static_cast<float>(r.output);
    }
    emit counterChanged(k);
    drawSample(s, r.inputs, r.output);
    emit sampleTaken(r);
    if (pendingWrite_) {
        QMetaObject::invokeMethod(this, &Recorder::flushPendingWrite, Qt::QueuedConnection);
    }
}

void Recorder::drawSample(const RecorderSettings& s, const std::array<float, 4>& c,
                          int16_t output) {
    const float out = outputRowUnits(g_.ScaleFactor, output, moduleKindOf(g_.ModuleType));
    const auto rowValue = [&](int row) { return row < 4 ? c[static_cast<size_t>(row)] : out; };
    const float k = static_cast<float>(g_.SampleCounter);

    if (!s.xyMode) {
        for (int i = 0; i < 5; ++i) {
            if (!s.visible[static_cast<size_t>(i)]) continue;
            const float y = rowValue(i);
            emit valueChanged(i, formatValue(y));
            if (sink_) sink_->segment(i, k - 1.0f, lastPoint_[static_cast<size_t>(i)], k, y);
            lastPoint_[static_cast<size_t>(i)] = y;
        }
        return;
    }

    // A channel outside the five rows gives no value (and no label).
    const auto valid = [](int row) { return row >= 0 && row <= 4; };
    float x = 0.0f;
    if (valid(g_.XYChannelX)) {
        x = rowValue(g_.XYChannelX);
        emit valueChanged(g_.XYChannelX, formatValue(x));
    }
    float y = x;
    if (g_.XYChannelY != g_.XYChannelX) {
        y = 0.0f;
        if (valid(g_.XYChannelY)) {
            y = rowValue(g_.XYChannelY);
            emit valueChanged(g_.XYChannelY, formatValue(y));
        }
    }
    if (sink_) sink_->xyLine(lastPoint_[5], lastPoint_[6], x, y);
    lastPoint_[5] = x;
    lastPoint_[6] = y;
}

bool Recorder::readCodes(TavoLibrary& library, const ReadPlan& plan,
                         const std::function<Attempt(int)>& beforeAttempt,
                         std::array<float, 4>& c) {
    int16_t r[4] = {0, 0, 0, 0};
    // A library that cannot be bound only skips the call, without a word.
    TavoLibrary::QuietScope quiet(library);
    if (!isEightBit(plan.kind)) {
        library.Leer_Ad12r32(&r[0], &r[1], &r[2], &r[3], plan.port, plan.address, plan.inputMode,
                             0);
        const float factor = inputFactor12(plan.scale);
        for (size_t i = 0; i < 4; ++i) c[i] = static_cast<float>(r[i]) * factor;
        return true;
    }
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const Attempt a = beforeAttempt(attempt);
        if (a == Attempt::Gone) return false;
        if (a == Attempt::Stop) break;
        r[0] = r[1] = r[2] = r[3] = 0;
        const std::optional<int16_t> result =
            library.Leer_Ad8b32(&r[0], &r[1], &r[2], &r[3], plan.port, plan.address);
        // Retrying a library that cannot be bound would do nothing either.
        if (!result || *result == 0) break;
    }
    // After ten failures the last attempt's values stand.
    const float factor = inputFactor8(plan.scale, plan.kind);
    for (size_t i = 0; i < 4; ++i) c[i] = static_cast<float>(r[i]) * factor;
    return true;
}

std::optional<QString> Recorder::readNow(int row) {
    if (row < 0 || row > 4 || timerActive()) return std::nullopt;
    if (row == 4)
        return CodeToUnitsText(g_.AnalogOutValue, moduleKindOf(g_.ModuleType), g_.ScaleFactor);
    std::array<float, 4> c{};
    const std::shared_ptr<bool> alive = alive_;
    // The window answers between attempts, never inside a library call; a
    // handler run there may end the engine.
    const bool read = readCodes(
        library_, currentPlan(),
        [this, alive](int) {
            if (const std::function<void()> yield = yield_) yield();
            return *alive ? Attempt::Go : Attempt::Gone;
        },
        c);
    if (!read) return std::nullopt;
    return formatValue(c[static_cast<size_t>(row)]);
}

void Recorder::WriteDataFile(When when) {
    // A finished sweep still waiting goes first, whatever follows it.
    if (when == When::Now) flushPendingWrite();
    // With no sample before the present one there is nothing to write, and
    // the previous experiment's file stays as it is.
    if (g_.SampleCounter <= 1) return;
    // The sweep's own period: one typed since would not match the samples.
    QByteArray text = dataFileText(sampleBuffer_, g_.SampleCounter, g_.SweepPeriodMs);
    if (when == When::Now) {
        writeAndReport(g_.DataFileName, text);
        return;
    }
    // Posted when the tick ends: the 8-bit read's yield would run it inside.
    pendingWrite_ = PendingWrite{g_.DataFileName, std::move(text)};
}

void Recorder::flushPendingWrite() {
    if (!pendingWrite_) return;
    const PendingWrite w = std::move(*pendingWrite_);
    pendingWrite_.reset();
    writeAndReport(w.fileName, w.text);
}

void Recorder::writeAndReport(const QString& fileName, const QByteArray& text) {
    const WriteOutcome outcome = writeFileAtomically(fileName, text);
    if (outcome.written) {
        writeFailing_ = false;
        emit writeSucceeded(fileName);
    } else {
        const bool first = !writeFailing_;
        writeFailing_ = true;
        emit writeFailed(fileName, outcome.reason, first);
    }
}
