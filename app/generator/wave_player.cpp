// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/wave_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "core/acquisition_thread.h"
#include "core/var_glob.h"

namespace {
constexpr int kTableEntries = 300;
}

QtPlaybackTimer::QtPlaybackTimer() {
    timer_.setObjectName(QStringLiteral("Tmr_onda"));
    timer_.setSingleShot(true);
    // The coarse kind may fire up to 5 % late, and a pass would show it.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (!running_) return;
        ++steps_;
        const unsigned generation = generation_;
        if (fired) fired();
        // Unless the step stopped or restarted the timer.
        if (running_ && generation == generation_) armNext();
    });
}

void QtPlaybackTimer::start(int intervalMs) {
    intervalMs_ = intervalMs > 0 ? intervalMs : 1;
    timer_.setInterval(intervalMs_);
    steps_ = 0;
    ++generation_;
    running_ = true;
    clock_.start();
    armNext();
}

void QtPlaybackTimer::stop() {
    running_ = false;
    ++generation_;
    timer_.stop();
}

void QtPlaybackTimer::armNext() {
    const double dueMs = static_cast<double>(steps_ + 1) * intervalMs_;
    const double nowMs = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
    // Never early: rounded up to the next whole millisecond.
    const double delay = std::ceil(dueMs - nowMs);
    timer_.start(std::chrono::milliseconds(delay > 0.0 ? static_cast<long long>(delay) : 0));
}

WavePlayer::WavePlayer(VarGlob& g, PlaybackOutput output, std::unique_ptr<PlaybackTimer> timer,
                       std::unique_ptr<Clock> clock, QObject* parent)
    : QObject(parent),
      g_(g),
      output_(std::move(output)),
      timer_(std::move(timer)),
      clock_(clock ? std::move(clock) : std::make_unique<SteadyClock>()) {
    if (!timer_) {
        auto qt = std::make_unique<QtPlaybackTimer>();
        qtTimer_ = qt->timer();
        timer_ = std::move(qt);
    }
    timer_->fired = [this] { tick(); };
}

WavePlayer::~WavePlayer() {
    timer_->stop();
    if (thread_) thread_->finishOwned(this);
}

void WavePlayer::playOn(std::shared_ptr<AcquisitionThread> thread) {
    timer_->stop();
    thread_ = std::move(thread);
    // Tmr_onda runs while playing, for the windows to see; the steps do not
    // wait on it.
    if (qtTimer_) {
        QObject::disconnect(qtTimer_, &QTimer::timeout, nullptr, nullptr);
        qtTimer_->setSingleShot(false);
    }
}

void WavePlayer::setPlaying(bool on) {
    g_.WaveIndex = 1;
    playing_ = on;
    if (thread_) {
        stopSteps();
        if (on) startSteps();
    } else if (on) {
        timer_->start(g_.WaveStepMs);
    } else {
        timer_->stop();
    }
    passStart_ = thread_ ? thread_->clock().now() : clock_->now();
    g_.WaveStartTime = static_cast<float>(passStart_);
    emit playingChanged(on);
}

void WavePlayer::tick() {
    // A table emptied or damaged under a running timer plays nothing.
    if (g_.WaveLength < 1 || g_.WaveLength > kTableEntries || g_.WaveIndex < 1 ||
        g_.WaveIndex > kTableEntries) {
        setPlaying(false);
        return;
    }
    int code = g_.WaveTable[g_.WaveIndex];
    // The output control holds only 0 to its maximum.
    const int top = output_.maximum ? output_.maximum() : 4095;
    if (code > top) code = top;
    if (code < 0) code = 0;
    const int16_t held = output_.code ? output_.code() : int16_t{-1};
    if (code != held && output_.write) output_.write(static_cast<int16_t>(code));

    ++g_.WaveIndex;
    if (g_.WaveIndex <= g_.WaveLength) return;
    const double now = clock_->now();
    const double ms = std::floor((now - passStart_) * 1000.0);
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    emit passMeasured(static_cast<int>(ms < lo ? lo : (ms > hi ? hi : ms)));
    passStart_ = now;
    g_.WaveStartTime = static_cast<float>(now);
    g_.WaveIndex = 1;
    // A one-shot table ends here; the output keeps its last entry.
    if (g_.WaveOneShot) setPlaying(false);
}

void WavePlayer::abandon() {
    timer_->stop();
    if (thread_) stopSteps();
}

void WavePlayer::startSteps() {
    const int length = g_.WaveLength;
    // A table empty or damaged plays nothing, and playback stops at once.
    if (length < 1 || length > kTableEntries) {
        mailbox_->post([this] {
            if (playing_) setPlaying(false);
        });
        return;
    }
    const int top = output_.maximum ? output_.maximum() : 4095;
    std::vector<int16_t> entries;
    entries.reserve(static_cast<size_t>(length));
    for (int i = 1; i <= length; ++i) {
        // The output control holds only 0 to its maximum.
        const int code = std::clamp<int>(g_.WaveTable[i], 0, top);
        entries.push_back(static_cast<int16_t>(code));
    }
    const int16_t held = output_.code ? output_.code() : int16_t{-1};
    const double now = thread_->clock().now();
    auto steps =
        std::make_shared<PlaybackSteps>(std::move(entries), g_.WaveOneShot != kFalse, held, now);
    std::function<void(int16_t)> write =
        output_.deviceWriter ? output_.deviceWriter() : std::function<void(int16_t)>();
    const unsigned generation = ++generation_;
    const double step = static_cast<double>(g_.WaveStepMs > 0 ? g_.WaveStepMs : 1) / 1000.0;
    const bool threaded = thread_->threaded();
    job_ = thread_->start(
        now, step, [this, steps, write, generation, threaded](const AcquisitionThread::Tick& tick) {
            PlaybackStep s = steps->step(tick.started);
            s.generation = generation;
            s.lateness = tick.lateness();
            if (s.written && write) write(s.code);
            if (threaded) {
                mailbox_->post([this, s] { applyStep(s); });
            } else {
                applyStep(s);
            }
            return !s.ended;
        });
    if (qtTimer_) qtTimer_->start(g_.WaveStepMs);
}

void WavePlayer::stopSteps() {
    ++generation_;
    if (job_) thread_->cancel(job_);
    job_ = 0;
    if (qtTimer_) qtTimer_->stop();
}

void WavePlayer::applyStep(const PlaybackStep& step) {
    if (step.generation != generation_) return;
    g_.WaveIndex = static_cast<int16_t>(step.nextIndex);
    if (step.written && output_.shown) output_.shown(step.code);
    emit stepPlayed(step);
    if (!step.passMs) return;
    emit passMeasured(*step.passMs);
    passStart_ = thread_->clock().now();
    g_.WaveStartTime = static_cast<float>(passStart_);
    if (step.ended) setPlaying(false);
}

void WavePlayer::ClearWaveform() {
    g_.WaveLength = 0;
    if (playing_) setPlaying(false);
    timer_->stop();
    if (thread_) stopSteps();
    setAvailable(false);
    g_.WaveOneShot = kFalse;
    describe(QString(), QString(), QString());
    emit cleared();
}

void WavePlayer::setAvailable(bool on) {
    available_ = on;
    emit availableChanged(on);
}

void WavePlayer::describe(const QString& amplitude, const QString& offset, const QString& period) {
    emit described(amplitude, offset, period);
}
