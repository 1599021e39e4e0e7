// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/wave_player.h"

#include <chrono>
#include <cmath>
#include <limits>

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
}

void WavePlayer::setPlaying(bool on) {
    g_.WaveIndex = 1;
    playing_ = on;
    if (on) {
        timer_->start(g_.WaveStepMs);
    } else {
        timer_->stop();
    }
    passStart_ = clock_->now();
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

void WavePlayer::ClearWaveform() {
    g_.WaveLength = 0;
    if (playing_) setPlaying(false);
    timer_->stop();
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
