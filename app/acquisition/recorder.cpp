// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/recorder.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

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
                   std::unique_ptr<SamplingTimer> timer, std::unique_ptr<Clock> clock,
                   QObject* parent)
    : QObject(parent),
      library_(library),
      g_(g),
      settings_(std::move(settings)),
      sink_(sink),
      timer_(timer ? std::move(timer) : std::make_unique<QtSamplingTimer>()),
      clock_(clock ? std::move(clock) : std::make_unique<SteadyClock>()),
      yield_([] { QCoreApplication::processEvents(); }) {
    timer_->fired = [this] { SamplingTick(); };
}

Recorder::~Recorder() {
    *alive_ = false;
    timer_->disarm();
    // A finished sweep still waiting is written; nobody is told any more.
    if (pendingWrite_) writeFileAtomically(pendingWrite_->fileName, pendingWrite_->text);
}

void Recorder::StartStopRecording() {
    if (g_.Recording == kFalse) {
        flushPendingWrite();
        g_.Recording = kTrue;
        paused_ = false;
        abandoned_ = false;
        ++generation_;
        writeFailing_ = false;
        emit recordingStarted();
        recordingStart_ = clock_->now();
        sweepNumber_ = 1;
        if (log_) log_->recordingBegins(g_.DataFileName);
        PrepareRecording();
    } else {
        g_.Recording = kFalse;
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
    setSweepStart(clock_->now());
    g_.SweepPeriodMs = g_.PeriodMs;
    armFirst();
    if (sink_) {
        sink_->drawGraduations();
        if (s.grid) sink_->drawGrid();
    }
    // Indexes 0 to RequestedSamples + 1; a sweep fills 1 to SweepSamples.
    sampleBuffer_.resize(g_.RequestedSamples + 2);
}

void Recorder::StopSampling() {
    timer_->disarm();
    emit samplingStopped();
}

void Recorder::abandon() {
    abandoned_ = true;
    ++generation_;
    timer_->disarm();
    if (log_ && recording()) log_->recordingEnds();
}

void Recorder::pause() {
    paused_ = true;
    timer_->disarm();
}

void Recorder::resume() {
    paused_ = false;
    if (recording()) armFirst();
}

void Recorder::blankValues() {
    for (int row = 0; row < 5; ++row) emit valueChanged(row, QString());
}

void Recorder::restartSweep() {
    g_.SampleCounter = 0;
    ++sweepNumber_;
    emit sweepLabelsCleared();
    const double now = clock_->now();
    setSweepStart(now);
    // Sample 1 comes one period after the clear, as after a start; the old
    // schedule's slot would make this sweep's measured period read low.
    scheduleBase_ = now;
    nextSlot_ = 0;
    if (timer_->armed()) armNext();
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
    return timer_->armed();
}

void Recorder::armFirst() {
    if (abandoned_) return;
    scheduleBase_ = clock_->now();
    nextSlot_ = 1;
    timer_->arm(static_cast<double>(g_.SweepPeriodMs));
}

void Recorder::armNext() {
    if (abandoned_) return;
    // Sample slots keep to the schedule, so the tick's own time does not add
    // up sweep after sweep. A slot already past (a slow tick) starts the
    // schedule again from now instead of firing ticks to catch up.
    const double period = static_cast<double>(g_.SweepPeriodMs) / 1000.0;
    const double now = clock_->now();
    ++nextSlot_;
    double due = scheduleBase_ + static_cast<double>(nextSlot_) * period;
    if (due <= now) {
        scheduleBase_ = now;
        nextSlot_ = 1;
        due = now + period;
    }
    timer_->arm((due - now) * 1000.0);
}

void Recorder::SamplingTick() {
    timer_->disarm();
    const unsigned generation = generation_;
    RecorderSettings s = settings_();

    if (g_.SampleCounter < std::numeric_limits<int16_t>::max()) ++g_.SampleCounter;
    if (g_.SampleCounter > g_.SweepSamples) {
        const double t = clock_->now();
        emit sweepEnded();
        if (s.once) {
            // The stop writes the whole sweep; nothing more is read.
            StartStopRecording();
            return;
        }
        if (s.recordToFile) WriteDataFile(When::AfterTick);
        if (sink_ && s.autoClear) {
            sink_->clearArea();
            if (s.grid) sink_->drawGrid();
        }
        emit periodMeasured((t - sweepStartTime_) / static_cast<double>(g_.SweepSamples) * 1000.0);
        setSweepStart(t);
        g_.SampleCounter = 1;
        ++sweepNumber_;
    }

    std::array<float, 4> c{};
    if (!readChannels(c)) return;
    const double readAt = clock_->now();
    // A recording started during the read's yield has its own ticks and
    // buffer; this sample belonged to the one before.
    if (generation != generation_) return;

    // Handlers that ran during the yield may have changed what to show.
    s = settings_();
    const int k = g_.SampleCounter;
    if (sampleBuffer_.contains(SweepBuffer::kRows - 1, k)) {
        for (int i = 0; i < 4; ++i) sampleBuffer_.at(i, k) = c[static_cast<size_t>(i)];
        sampleBuffer_.at(4, k) = static_cast<float>(g_.AnalogOutValue);
    }
    if (log_) {
        log_->push({sweepNumber_,
                    k,
                    readAt - recordingStart_,
                    {c[0], c[1], c[2], c[3], static_cast<float>(g_.AnalogOutValue)}});
    }
    emit counterChanged(k);
    drawSample(s, c);

    // A stop or a pause during the yield keeps the timer off.
    if (recording() && !paused_) armNext();
    if (pendingWrite_) {
        QMetaObject::invokeMethod(this, &Recorder::flushPendingWrite, Qt::QueuedConnection);
    }
}

void Recorder::drawSample(const RecorderSettings& s, const std::array<float, 4>& c) {
    const float out = outputRowUnits(g_.ScaleFactor, g_.AnalogOutValue, g_.ModuleType);
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

bool Recorder::readChannels(std::array<float, 4>& c) {
    if (isEightBit(g_.ModuleType)) return ReadChannels8(c);
    ReadChannels12(c);
    return true;
}

void Recorder::ReadChannels12(std::array<float, 4>& c) {
    int16_t r[4] = {0, 0, 0, 0};
    {
        // Inside the tick a library that cannot be bound only skips the call.
        TavoLibrary::QuietScope quiet(library_);
        library_.Leer_Ad12r32(&r[0], &r[1], &r[2], &r[3], g_.PortBase, g_.ModuleAddress,
                              g_.InputMode, 0);
    }
    const float factor = inputFactor12(g_.ScaleFactor);
    for (size_t i = 0; i < 4; ++i) c[i] = static_cast<float>(r[i]) * factor;
}

bool Recorder::ReadChannels8(std::array<float, 4>& c) {
    const std::shared_ptr<bool> alive = alive_;
    int16_t r[4] = {0, 0, 0, 0};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        // Other handlers run here, between library calls, never inside one;
        // a copy, since one of them may destroy the engine.
        if (const std::function<void()> yield = yield_) yield();
        if (!*alive) return false;
        r[0] = r[1] = r[2] = r[3] = 0;
        std::optional<int16_t> result;
        {
            TavoLibrary::QuietScope quiet(library_);
            result =
                library_.Leer_Ad8b32(&r[0], &r[1], &r[2], &r[3], g_.PortBase, g_.ModuleAddress);
        }
        // Retrying a library that cannot be bound would do nothing either.
        if (!result || *result == 0) break;
    }
    // After ten failures the last attempt's values stand.
    const float factor = inputFactor8(g_.ScaleFactor, g_.ModuleType);
    for (size_t i = 0; i < 4; ++i) c[i] = static_cast<float>(r[i]) * factor;
    return true;
}

std::optional<QString> Recorder::readNow(int row) {
    if (row < 0 || row > 4 || timer_->armed()) return std::nullopt;
    if (row == 4) return CodeToUnitsText(g_.AnalogOutValue, g_.ModuleType, g_.ScaleFactor);
    std::array<float, 4> c{};
    if (!readChannels(c)) return std::nullopt;
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
