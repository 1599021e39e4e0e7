// SPDX-License-Identifier: GPL-3.0-or-later
// The thread that touches the modules: the recording's reads and the
// generator's output steps run here, each at absolute deadlines on the
// monotonic clock, so nothing the windows do can delay them. The window
// thread hands it commands (an output value to write, a job to start or
// end) and takes back what the jobs hand over.
//
// A job is due at origin + slot x period, slot 1, 2, ... Its slots never
// restart from the present moment: a run that starts late is taken as soon
// as it can be. What follows depends on the job: a sampling job catches up
// the slots the stall passed over, run after run, so every run keeps its own
// slot and only the runs of the stall are late; a job that follows the time
// itself (an output step) goes to the first slot still ahead.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/clock.h"

// The steady clock, in seconds since it was made; it also gives the
// deadline a sleep waits for.
class MonotonicClock : public Clock {
  public:
    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
    }
    std::chrono::steady_clock::time_point at(double seconds) const {
        return origin_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(seconds));
    }

  private:
    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

class AcquisitionThread {
  public:
    // One run of a job: its slot, when that slot was due and when the run
    // began, in the clock's seconds.
    struct Tick {
        long long slot = 0;
        double due = 0.0;
        double started = 0.0;
        double lateness() const { return started - due; }
    };
    // Returns false to end the job.
    using Job = std::function<bool(const Tick&)>;

    // A thread of its own on the monotonic clock.
    AcquisitionThread();
    // No thread: runDue() runs what is due on the given clock, for tests
    // that move the clock by hand.
    explicit AcquisitionThread(std::unique_ptr<Clock> manualClock);
    ~AcquisitionThread();
    AcquisitionThread(const AcquisitionThread&) = delete;
    AcquisitionThread& operator=(const AcquisitionThread&) = delete;

    const Clock& clock() const { return *clock_; }
    bool threaded() const { return thread_.joinable(); }

    // What the system granted the thread: a real-time policy above every
    // ordinary process, a larger share than them, or neither.
    enum class Priority { Unknown, RealTime, Raised, Ordinary };
    Priority priority() const { return priority_.load(); }

    // What a job does with the slots a stall passed over.
    enum class Missed {
        Skip,     // the next run goes to the first slot still ahead
        CatchUp,  // each is run at once, in order, up to kCatchUpLimit behind
    };
    // A stall longer than this cannot be made good: its runs would all
    // carry times they were not taken at. Past it a catching-up job skips too.
    static constexpr double kCatchUpLimit = 1.0;  // seconds

    // A job whose slot 1 is due one period after origin. Returns its id.
    // owner: whoever the job works for (see finishOwned).
    int start(double origin, double period, Job job, const void* owner = nullptr,
              Missed missed = Missed::Skip);
    // The job runs no more. One running now finishes on the thread; wait
    // for it with finishOwned().
    void cancel(int id);
    // Cancels every job of owner and, unless called from one of them, waits
    // until none is running: after this no job touches the owner.
    void finishOwned(const void* owner);
    bool scheduled(int id) const;
    // When the job's next run is due; nothing when it is not scheduled.
    std::optional<double> nextDue(int id) const;

    // Runs on the thread before any job that is not due yet, in the order
    // posted; never in the middle of a job.
    void post(std::function<void()> command);

    // Without a thread: runs the posted commands and every job due by the
    // clock's present time, as the thread would. Returns whether anything ran.
    bool runDue();
    // The earliest deadline of all jobs, or nothing.
    std::optional<double> nextDeadline() const;

  private:
    struct Entry {
        double origin = 0.0;
        double period = 0.0;
        long long slot = 1;
        Job job;
        const void* owner = nullptr;
        Missed missed = Missed::Skip;
        bool cancelled = false;
        double dueAt(long long n) const { return origin + static_cast<double>(n) * period; }
        double due() const { return dueAt(slot); }
    };
    // Under mutex_: the next posted command, or the job due by now.
    bool runOne(std::unique_lock<std::mutex>& lock, double now);
    std::map<int, Entry>::iterator earliest();
    void loop();

    std::unique_ptr<Clock> clock_;
    const MonotonicClock* steady_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> commands_;
    std::map<int, Entry> jobs_;
    int nextId_ = 1;
    int running_ = 0;  // id of the job running now, 0 for none
    const void* runningOwner_ = nullptr;
    std::thread::id runner_;
    bool quit_ = false;
    std::atomic<Priority> priority_{Priority::Unknown};
    std::thread thread_;
};
