// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the log of every sweep and of the recording viewer: 24 hours at
// 100 ms (864 000 rows) through the real write thread, hour by hour, with
// the cost of each push, the writer's CPU per row and the resident memory
// after each simulated hour; how late a thread woken every 10 ms at absolute
// deadlines is with and without a log being written; then the file opened
// in the viewer offscreen: the time to open it, the memory it takes and one
// redraw of a zoomed and panned view 1600 pixels wide. Nothing fails on a
// slow machine.
//
//   kalmor_log_bench [--hours N] [--keep] [--image FILE.png]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <QLabel>

#include "acquisition/log_writer.h"
#include "common/prompts.h"
#include "core/session.h"
#include "display/recording_canvas.h"
#include "display/recording_view.h"
#include "startup/session_engines.h"
#include "windows/window_set.h"

namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// A thread woken every 10 ms at absolute deadlines, as the acquisition
// thread is; each wake pushes a row when a writer is given. Returns how
// late the wakes were, in ms.
std::vector<double> wakeLateness(LogWriter* writer, int wakes) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> late;
    late.reserve(size_t(wakes));
    const auto start = Clock::now();
    for (int i = 1; i <= wakes; ++i) {
        const auto due = start + std::chrono::milliseconds(10 * i);
        std::this_thread::sleep_until(due);
        late.push_back(std::chrono::duration<double, std::milli>(Clock::now() - due).count());
        if (writer) writer->push(LoggedSample{1, i, 0.01 * i, {1.0f, 2.0f, .5f, 0.0f, 2048.0f}});
    }
    return late;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int hours = 24;
    bool keep = false;
    QString imageFile;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--hours") && i + 1 < argc) hours = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--keep")) keep = true;
        if (!std::strcmp(argv[i], "--image") && i + 1 < argc) imageFile = argv[++i];
    }
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    const QString data = dir.filePath("DATOS.DAT");
    const long rowsPerHour = 36000;  // 100 ms

    std::printf("== log of every sweep: %d h at 100 ms (%ld rows)\n", hours, rowsPerHour * hours);
    std::printf("resident before the log %ld kB\n", residentKb());
    std::vector<double> pushNs;
    pushNs.reserve(size_t(rowsPerHour));
    std::vector<QString> files;
    double cpu = 0.0, pushTotal = 0.0;
    {
        LogWriter writer(data, LogWriterOptions{});
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        long row = 0;
        for (int h = 1; h <= hours; ++h) {
            pushNs.clear();
            for (long i = 0; i < rowsPerHour; ++i, ++row) {
                LoggedSample s{int32_t(1 + row / 50),
                               int32_t(1 + row % 50),
                               0.1 * double(row) + 0.0003,
                               {float(row % 1000) / 400.0f, 1.25f, float(row % 7) * 0.1f, -0.5f,
                                float(row % 4096)}};
                const auto t0 = std::chrono::steady_clock::now();
                writer.push(s);
                pushNs.push_back(
                    std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0)
                        .count());
            }
            for (double ns : pushNs) pushTotal += ns;
            writer.flush();
            if (h % 6 == 0 || h == 1) {
                std::printf(
                    "after %2d h: resident %ld kB; push median %.0f ns, 99.9%% %.0f ns, max %.0f "
                    "ns\n",
                    h, residentKb(), percentile(pushNs, 0.5), percentile(pushNs, 0.999),
                    percentile(pushNs, 1.0));
            }
        }
        cpu = cpuSeconds() - cpu0;
        files = writer.files();
        std::printf(
            "writer: %.2f s CPU for %ld rows = %.2f us per row (push itself %.0f ns on average); "
            "wall %.1f s\n",
            cpu, row, cpu / double(row) * 1e6, pushTotal / double(row), wall.elapsed() / 1000.0);
    }
    qint64 bytes = 0;
    for (const QString& f : files) bytes += QFileInfo(f).size();
    std::printf("files: %zu, %.1f MB\n", files.size(), double(bytes) / 1e6);

    {
        const std::vector<double> quiet = wakeLateness(nullptr, 300);
        LogWriter writer(dir.filePath("LATE.DAT"), LogWriterOptions{});
        const std::vector<double> logging = wakeLateness(&writer, 300);
        std::printf(
            "wakes every 10 ms, late by (ms): without log median %.3f max %.3f; with log "
            "median %.3f max %.3f\n",
            percentile(quiet, 0.5), percentile(quiet, 1.0), percentile(logging, 0.5),
            percentile(logging, 1.0));
    }

    std::printf("== the first file in the viewer\n");
    // The program's windows as the menu opens a viewer; the main window's
    // start-up message (no configuration file here) is printed, not shown.
    prompts::setMessageHook(
        [](const MessageRequest& r) { std::printf("message: %s\n", qPrintable(r.text)); });
    Session session;
    startEngines(session);
    WindowSet windows(session);
    windows.loadMain();
    const long before = residentKb();
    QElapsedTimer t;
    t.start();
    windows.openRecording(files.front());
    const double openMs = double(t.nsecsElapsed()) / 1e6;
    RecordingCanvas* canvas = nullptr;
    QLabel* problem = nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* c = qobject_cast<RecordingCanvas*>(w)) canvas = c;
        if (w->objectName() == QLatin1String("Lbl_Estado")) problem = qobject_cast<QLabel*>(w);
    }
    if (!canvas) return 1;
    std::printf("open (read, summary, whole view): %.0f ms; resident %ld kB (+%ld kB)\n", openMs,
                residentKb(), residentKb() - before);
    if (problem && !problem->text().isEmpty())
        std::printf("problem: %s\n", qPrintable(problem->text()));

    const QSize size(1600 + 72, 600);
    canvas->resize(size);
    QImage image(size, QImage::Format_RGB32);
    const ViewRange whole = canvas->view();
    const double span = whole.t1 - whole.t0;
    struct Case {
        const char* name;
        ViewRange view;
    };
    const Case cases[] = {
        {"whole file", whole},
        {"zoomed to a tenth", zoomAbout(whole, whole.t0 + span / 2, 0, 0.1, 1)},
        {"panned by 300 px",
         panByPixels(zoomAbout(whole, whole.t0 + span / 2, 0, 0.1, 1), 300, 0, 1600, 570)},
        {"zoomed to 10 minutes", ViewRange{whole.t0 + 3600, whole.t0 + 4200, whole.y0, whole.y1}},
    };
    for (const Case& c : cases) {
        canvas->setView(c.view);
        std::vector<double> ms;
        for (int i = 0; i < 20; ++i) {
            QPainter p(&image);
            QElapsedTimer r;
            r.start();
            canvas->paintPlot(p, size);
            ms.push_back(double(r.nsecsElapsed()) / 1e6);
        }
        std::printf("redraw 1600 px, %-20s median %.2f ms, max %.2f ms\n", c.name,
                    percentile(ms, 0.5), percentile(ms, 1.0));
    }
    if (!imageFile.isEmpty()) {
        // The viewer window as it shows, zoomed to ten minutes.
        canvas->setView(cases[2].view);
        canvas->window()->resize(1200, 600);
        canvas->window()->grab().save(imageFile);
    }
    if (keep) std::printf("kept in %s\n", qPrintable(dir.path()));
    return 0;
}
