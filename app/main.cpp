#include <QApplication>
#include <QStringList>

#include "acquisition/frm_control.h"
#include "common/qt_spanish.h"
#include "core/app_context.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppContext::appTitle());
    installQtSpanish(app);

    // The whole command line names the configuration file, as typed: a name
    // with blanks needs no quotes.
    QStringList words = QApplication::arguments();
    words.removeFirst();
    QStringList arguments;
    if (!words.isEmpty()) arguments << words.join(QLatin1Char(' '));

    AppContext ctx(arguments);
    ctx.frmControl()->show();
    return QApplication::exec();
}
