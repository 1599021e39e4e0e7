// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QStringList>

#include "common/qt_spanish.h"
#include "common/title.h"
#include "core/session.h"
#include "startup/session_engines.h"
#include "startup/startup.h"
#include "windows/window_set.h"

int main(int argc, char* argv[]) {
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
