// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <string>
#include <vector>

#include "common/command_line.h"
#include "common/qt_spanish.h"
#include "common/title.h"
#include "core/session.h"
#include "startup/session_engines.h"
#include "startup/startup.h"
#include "windows/window_set.h"

namespace {

// --help and --version answer before any window (or display) is needed.
bool answeredCommandLine(int argc, char* argv[]) {
    const auto answer = commandLineAnswer(std::vector<std::string>(argv + 1, argv + argc));
    if (!answer) return false;
    std::fputs(answer->c_str(), stdout);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (answeredCommandLine(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(appTitle());
    installQtSpanish(app);

    // The whole command line names the configuration file, as typed: a name
    // with blanks needs no quotes.
    QStringList words = QApplication::arguments();
    words.removeFirst();
    QStringList arguments;
    if (!words.isEmpty()) arguments << words.join(QLatin1Char(' '));

    Session session(arguments);
    startEngines(session);
    WindowSet windows(session);
    InstallStartup(session, windows);
    windows.showMain();
    return QApplication::exec();
}
