// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/acquisition_thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {
// How late the kernel may wake the thread past a deadline, in nanoseconds:
// the default 50 us is about the same, but a process may have been given more.
constexpr unsigned long kTimerSlackNs = 20000;
// A period of nothing would make every slot due at once.
constexpr double kShortestPeriod = 1e-6;
// Low among real-time priorities: above every ordinary process, below the
// kernel's own threads and audio servers. The thread sleeps between slots
// and a slot's work is a fraction of a millisecond of the bus.
constexpr int kRealTimePriority = 10;
// The nice value asked for when a real-time policy is refused.
constexpr int kRaisedNice = -10;

// Busy processes would otherwise delay a wake-up by their time slices: ask
// for a real-time policy (granted to root, or through RLIMIT_RTPRIO), else
// a larger share (RLIMIT_NICE), else stay ordinary.
AcquisitionThread::Priority raisePriority() {
    sched_param param{};
    param.sched_priority = kRealTimePriority;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) {
        return AcquisitionThread::Priority::RealTime;
    }
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kRaisedNice) == 0) {
        return AcquisitionThread::Priority::Raised;
    }
    return AcquisitionThread::Priority::Ordinary;
}
}  // namespace

AcquisitionThread::AcquisitionThread() {
    auto clock = std::make_unique<MonotonicClock>();
    steady_ = clock.get();
    clock_ = std::move(clock);
    thread_ = std::thread([this] { loop(); });
}

AcquisitionThread::AcquisitionThread(std::unique_ptr<Clock> manualClock)
    : clock_(std::move(manualClock)) {}

AcquisitionThread::~AcquisitionThread() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int AcquisitionThread::start(double origin, double period, Job job, const void* owner,
                             Missed missed) {
    int id = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        id = nextId_++;
        Entry& e = jobs_[id];
        e.origin = origin;
        e.period = std::max(period, kShortestPeriod);
        e.job = std::move(job);
        e.owner = owner;
        e.missed = missed;
    }
    wake_.notify_all();
    return id;
}

void AcquisitionThread::cancel(int id) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) return;
    // A running job is erased by the thread once it returns.
    if (running_ == id) {
        it->second.cancelled = true;
    } else {
        jobs_.erase(it);
    }
}

void AcquisitionThread::finishOwned(const void* owner) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (it->second.owner != owner) {
            ++it;
        } else if (it->first == running_) {
            it->second.cancelled = true;
            ++it;
        } else {
            it = jobs_.erase(it);
        }
    }
    if (runner_ == std::this_thread::get_id()) return;
    idle_.wait(lock, [&] { return running_ == 0 || runningOwner_ != owner; });
}

bool AcquisitionThread::scheduled(int id) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    return it != jobs_.end() && !it->second.cancelled;
}

std::optional<double> AcquisitionThread::nextDue(int id) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end() || it->second.cancelled) return std::nullopt;
    return it->second.due();
}

void AcquisitionThread::post(std::function<void()> command) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(std::move(command));
    }
    wake_.notify_all();
}

bool AcquisitionThread::runDue() {
    std::unique_lock<std::mutex> lock(mutex_);
    bool any = false;
    while (runOne(lock, clock_->now())) any = true;
    return any;
}

std::optional<double> AcquisitionThread::nextDeadline() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::optional<double> best;
    for (const auto& [id, e] : jobs_) {
        if (e.cancelled) continue;
        if (!best || e.due() < *best) best = e.due();
    }
    return best;
}

std::map<int, AcquisitionThread::Entry>::iterator AcquisitionThread::earliest() {
    auto best = jobs_.end();
    double bestDue = 0.0;
    for (auto it = jobs_.begin(); it != jobs_.end(); ++it) {
        const Entry& e = it->second;
        if (e.cancelled) continue;
        if (best == jobs_.end() || e.due() < bestDue) {
            best = it;
            bestDue = e.due();
        }
    }
    return best;
}

bool AcquisitionThread::runOne(std::unique_lock<std::mutex>& lock, double now) {
    if (!commands_.empty()) {
        std::function<void()> command = std::move(commands_.front());
        commands_.pop_front();
        lock.unlock();
        command();
        lock.lock();
        return true;
    }
    const auto it = earliest();
    if (it == jobs_.end()) return false;
    Entry& e = it->second;
    Tick tick;
    tick.slot = e.slot;
    tick.due = e.due();
    if (tick.due > now) return false;
    const int id = it->first;
    // A copy: the job may cancel itself, or start another, while it runs.
    const Job job = e.job;
    running_ = id;
    runningOwner_ = e.owner;
    runner_ = std::this_thread::get_id();
    lock.unlock();
    tick.started = clock_->now();
    const bool again = job(tick);
    const double after = clock_->now();
    lock.lock();
    running_ = 0;
    runningOwner_ = nullptr;
    runner_ = std::thread::id();
    idle_.notify_all();
    const auto still = jobs_.find(id);
    if (still == jobs_.end()) return true;
    Entry& done = still->second;
    if (!again || done.cancelled) {
        jobs_.erase(still);
        return true;
    }
    // A late run does not shift the ones after it.
    if (done.missed == Missed::CatchUp && after - done.dueAt(done.slot + 1) <= kCatchUpLimit) {
        ++done.slot;
    } else {
        const double ahead = std::floor((after - done.origin) / done.period) + 1.0;
        done.slot = std::max(done.slot + 1, static_cast<long long>(ahead));
    }
    return true;
}

void AcquisitionThread::loop() {
    prctl(PR_SET_TIMERSLACK, kTimerSlackNs, 0, 0, 0);
    priority_ = raisePriority();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (runOne(lock, clock_->now())) continue;
        // Output values posted before the end are still written.
        if (quit_) return;
        const auto it = earliest();
        if (it == jobs_.end()) {
            wake_.wait(lock);
        } else {
            wake_.wait_until(lock, steady_->at(it->second.due()));
        }
    }
}
