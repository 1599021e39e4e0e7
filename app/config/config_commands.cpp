#include "config/config_commands.h"

#include "common/prompts.h"
#include "config/config_file.h"
#include "core/app_context.h"

void RunLoadCommand(AppContext& ctx) {
    QWidget* window = ctx.mainWindow();
    const QString name =
        prompts::fileDialog(window, {FileDialogRequest::Open,
                                     QStringLiteral("Desde donde Leer los datos de configuración"),
                                     QStringLiteral("Ficheros Configuración|*.CFG"), QString()});
    if (name.isEmpty()) return;
    if (!LoadConfiguration(ctx, name)) {
        prompts::message(window, QMessageBox::Warning, QStringLiteral(" Error"),
                         QStringLiteral(" Error al cargar el fichero de configuración: ") + name +
                             QStringLiteral(" Es posible que la aplicación no funcione "
                                            "correctamente."));
    }
}
