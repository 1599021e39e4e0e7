// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the sampling engine on the simulated bench: continuous sweeps
// read on the acquisition thread with the real library, and a trace drawn
// into an image on the window thread, as the plot window would. Prints the
// measured period against the set one, how late each read starts against its
// slot and the resident memory: on the machine as it is, then with the
// window thread kept busy 500 ms every 2 s, then both again with two busy
// processes per core that the benchmark starts and ends. Then it plays a
// 100-entry sine table on the 12-bit converter's output, quiet and loaded,
// and prints how late each step started and how long each pass took against
// its 5000 ms. Nothing fails on a slow machine.
//
//   kalmor_bench [--sweeps N] [--samples N] [--period MS] [--minutes N] [--load 0|1] [--passes N]
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "acquisition/analog_output.h"
#include "acquisition/recorder.h"
#include "core/acquisition_thread.h"
#include "core/tavo_library.h"
#include "core/trace_sink.h"
#include "core/var_glob.h"
#include "generator/wave_player.h"
#include "generator/wave_tables.h"
#include "startup/session_engines.h"

namespace {

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Two processes per core that only spin, for the loaded runs; they end with
// the object (or with the benchmark, however it ends).
class BusyLoad {
  public:
    BusyLoad() {
        const long cores = std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
        for (long i = 0; i < 2 * cores; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                volatile unsigned long spins = 0;
                for (;;) spins = spins + 1;
            }
            if (pid > 0) children_.push_back(pid);
        }
    }
    ~BusyLoad() {
        for (const pid_t pid : children_) kill(pid, SIGKILL);
        for (const pid_t pid : children_) waitpid(pid, nullptr, 0);
    }
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;
    size_t size() const { return children_.size(); }

  private:
    std::vector<pid_t> children_;
};

// Draws as the trace area does: lines into a persistent image.
class ImageSink : public TraceSink {
  public:
    ImageSink() : image_(800, 400, QImage::Format_RGB32) { image_.fill(Qt::white); }
    void prepare() override { image_.fill(Qt::white); }
    void show() override {}
    void setTimeScale(int samples) override { samples_ = samples > 0 ? samples : 1; }
    void clearArea() override { image_.fill(Qt::white); }
    void drawGrid() override {
        QPainter p(&image_);
        p.setPen(Qt::DotLine);
        for (int i = 1; i < 10; ++i) p.drawLine(i * 80, 0, i * 80, 399);
    }
    void drawGraduations() override {}
    void segment(int row, float x1, float y1, float x2, float y2) override {
        QPainter p(&image_);
        p.setPen(QColor::fromHsv(row * 60, 255, 200));
        p.drawLine(QPointF(x(x1), y(y1)), QPointF(x(x2), y(y2)));
    }
    void xyLine(float x1, float y1, float x2, float y2) override { segment(4, x1, y1, x2, y2); }

  private:
    double x(float v) const { return v * 800.0 / samples_; }
    static double y(float v) { return 400.0 - v * 100.0; }
    QImage image_;
    int samples_ = 100;
};

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one.empty() ? "unknown" : one;
}

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

struct Run {
    std::vector<double> periods;  // one per sweep end
    std::vector<double> lateMs;   // each read's start against its slot
    std::vector<double> writeMs;  // from a sweep's end to its file written
    int samples = 0;
    int outOfOrder = 0;  // samples not following the one before
    AcquisitionThread::Priority priority = AcquisitionThread::Priority::Unknown;
};

const char* priorityText(AcquisitionThread::Priority p) {
    switch (p) {
        case AcquisitionThread::Priority::RealTime:
            return "real-time";
        case AcquisitionThread::Priority::Raised:
            return "raised nice";
        case AcquisitionThread::Priority::Ordinary:
            return "ordinary";
        case AcquisitionThread::Priority::Unknown:
            break;
    }
    return "unknown";
}

// Keeps the window thread busy for 500 ms every 2 s, as a storm of repaints
// or a slow dialog would.
class BusyWindow {
  public:
    BusyWindow() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            QElapsedTimer t;
            t.start();
            volatile unsigned long spins = 0;
            while (t.elapsed() < 500) spins = spins + 1;
        });
        timer_.start(2000);
    }

  private:
    QTimer timer_;
};

// Records continuously until `sweeps` sweeps have ended or `seconds` have
// passed, whichever the caller asked for.
Run record(TavoLibrary& lib, int16_t moduleType, int samples, int periodMs, int sweeps,
           double seconds, const QString& file, bool busyWindow,
           const std::function<void(const char*)>& memory = {}) {
    Run run;
    const RecorderSettings s;
    VarGlob g;
    g.ModuleType = moduleType;
    g.PortBase = 888;
    g.RequestedSamples = static_cast<int16_t>(samples);
    g.PeriodMs = static_cast<int16_t>(periodMs);
    g.DataFileName = file;
    ImageSink sink;
    Recorder rec(
        lib, g, [&s] { return s; }, &sink);
    QElapsedTimer sinceSweep;
    int lastIndex = 0;
    QObject::connect(&rec, &Recorder::sampleTaken, [&](const SampleRecord& r) {
        run.lateMs.push_back(r.lateness() * 1000.0);
        ++run.samples;
        const int expected = lastIndex >= samples ? 1 : lastIndex + 1;
        if (r.index != expected) ++run.outOfOrder;
        lastIndex = r.index;
    });
    QObject::connect(&rec, &Recorder::sweepEnded, [&] { sinceSweep.start(); });
    QObject::connect(&rec, &Recorder::writeSucceeded, [&] {
        if (rec.recording()) run.writeMs.push_back(msSince(sinceSweep));
    });
    QObject::connect(&rec, &Recorder::periodMeasured, [&](double ms) {
        run.periods.push_back(ms);
        if (memory && run.periods.size() == 1) memory("after the first sweep");
        if (sweeps > 0 && static_cast<int>(run.periods.size()) >= sweeps + 1) {
            rec.StartStopRecording();
        }
    });
    QEventLoop loop;
    QObject::connect(&rec, &Recorder::recordingStopped, &loop, &QEventLoop::quit);
    QTimer limit;
    QObject::connect(&limit, &QTimer::timeout, [&rec] {
        if (rec.recording()) rec.StartStopRecording();
    });
    if (seconds > 0) limit.start(static_cast<int>(seconds * 1000));
    QTimer minute;
    if (memory) {
        QObject::connect(&minute, &QTimer::timeout, [&memory] { memory("minute"); });
        minute.start(60000);
    }
    std::unique_ptr<BusyWindow> busy;
    if (busyWindow) busy = std::make_unique<BusyWindow>();
    rec.StartStopRecording();
    loop.exec();
    if (memory) memory("at the end");
    run.priority = rec.thread().priority();
    return run;
}

void report(const char* name, const Run& run, int periodMs) {
    // The first sweep's period spans one interval more than its samples.
    std::vector<double> later(run.periods.begin() + (run.periods.empty() ? 0 : 1),
                              run.periods.end());
    const double mean = later.empty() ? 0.0
                                      : std::accumulate(later.begin(), later.end(), 0.0) /
                                            static_cast<double>(later.size());
    std::printf("%-22s sweeps measured %zu  mean period %.4f ms  error %+.4f %%  thread %s\n", name,
                later.size(), mean, (mean - periodMs) / periodMs * 100.0,
                priorityText(run.priority));
    std::printf(
        "%-22s samples %d (%d out of order)  lateness p50 %.3f ms  p99 %.3f ms"
        "  max %.3f ms\n",
        name, run.samples, run.outOfOrder, percentile(run.lateMs, 0.5),
        percentile(run.lateMs, 0.99), percentile(run.lateMs, 1.0));
    std::printf("%-22s data file writes %zu after their sweep  median %.3f ms  max %.3f ms\n", name,
                run.writeMs.size(), percentile(run.writeMs, 0.5), percentile(run.writeMs, 1.0));
    std::fflush(stdout);
}

// Plays a 5000 ms sine (100 entries of 50 ms) until `passes` passes after
// the first have ended; prints each pass and the steps' lateness.
void playback(TavoLibrary& lib, int passes, const char* name) {
    VarGlob g;
    g.ModuleType = 2;
    g.PortBase = 888;
    auto thread = std::make_shared<AcquisitionThread>();
    AnalogOutput output(lib, g);
    output.sendThrough(thread, nullptr);
    WavePlayer player(g, playbackOutput(output, [] { return 4095; }));
    player.playOn(thread);
    GeneratePeriodic(g, 0, 5000, 1500, 2048);
    std::vector<int> passMs;
    std::vector<double> lateMs;
    QEventLoop loop;
    QObject::connect(&player, &WavePlayer::stepPlayed,
                     [&](const PlaybackStep& s) { lateMs.push_back(s.lateness * 1000.0); });
    QObject::connect(&player, &WavePlayer::passMeasured, [&](int ms) {
        passMs.push_back(ms);
        if (static_cast<int>(passMs.size()) > passes) {
            player.setPlaying(false);
            loop.quit();
        }
    });
    player.setPlaying(true);
    loop.exec();
    std::printf("playback %s: 100-entry sine at 50 ms, due 5000 ms a pass\n", name);
    std::printf("playback %s: steps %zu  lateness p50 %.3f ms  p99 %.3f ms  max %.3f ms\n", name,
                lateMs.size(), percentile(lateMs, 0.5), percentile(lateMs, 0.99),
                percentile(lateMs, 1.0));
    for (size_t i = 0; i < passMs.size(); ++i) {
        std::printf("playback %s: pass %zu  %d ms  error %+.2f %%\n", name, i + 1, passMs[i],
                    (passMs[i] - 5000) / 50.0);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int sweeps = 2, samples = 100, periodMs = 100, passes = 3;
    double minutes = 0.0;
    bool load = true;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& a = args[i];
        const double v = args[i + 1].toDouble();
        if (a == "--sweeps")
            sweeps = static_cast<int>(v);
        else if (a == "--samples")
            samples = static_cast<int>(v);
        else if (a == "--period")
            periodMs = static_cast<int>(v);
        else if (a == "--minutes")
            minutes = v;
        else if (a == "--load")
            load = v != 0.0;
        else if (a == "--passes")
            passes = static_cast<int>(v);
    }
    QTemporaryDir dir;
    const QString file = dir.filePath("DATOS.DAT");
    TavoLibrary lib;

    if (minutes > 0) {
        std::printf("continuous 8-bit recording, %d samples at %d ms, %.1f min\n", samples,
                    periodMs, minutes);
        std::printf("resident before the recording %ld kB\n", residentKb());
        const Run run =
            record(lib, 0, samples, periodMs, 0, minutes * 60.0, file, false, [](const char* when) {
                std::printf("%-22s resident %ld kB  heap in use %zu kB\n", when, residentKb(),
                            mallinfo2().uordblks / 1024);
                std::fflush(stdout);
            });
        report("8-bit", run, periodMs);
    } else {
        std::printf("%d continuous sweeps after the first, %d samples at %d ms\n", sweeps, samples,
                    periodMs);
        const auto runs = [&](const char* when) {
            std::printf("%s (load average %s)\n", when, loadAverage().c_str());
            std::fflush(stdout);
            report("8-bit", record(lib, 0, samples, periodMs, sweeps, 0, file, false), periodMs);
            report("12-bit", record(lib, 2, samples, periodMs, sweeps, 0, file, false), periodMs);
            report("8-bit, window busy", record(lib, 0, samples, periodMs, sweeps, 0, file, true),
                   periodMs);
            report("12-bit, window busy", record(lib, 2, samples, periodMs, sweeps, 0, file, true),
                   periodMs);
            if (passes > 0) playback(lib, passes, when);
        };
        runs("quiet");
        if (load) {
            const BusyLoad busy;
            std::printf("with %zu busy processes\n", busy.size());
            runs("loaded");
        }
    }
    std::printf("peak resident %ld kB\n", peakResidentKb());
    return 0;
}
