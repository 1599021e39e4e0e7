#include "config/config_commands.h"

#include "acquisition/frm_control.h"
#include "common/prompts.h"
#include "config/app_context.h"
#include "config/config_file.h"

void RunLoadCommand(AppContext& ctx) {
    FrmControl* control = ctx.frmControl();
    const QString name =
        prompts::fileDialog(control, {FileDialogRequest::Open,
                                      QStringLiteral("Desde donde Leer los datos de configuración"),
                                      QStringLiteral("Ficheros Configuración|*.CFG"), QString()});
    if (name.isEmpty()) return;
    if (!LoadConfiguration(ctx, name)) {
        prompts::message(control, QMessageBox::Warning, QStringLiteral(" Error"),
                         QStringLiteral(" Error al cargar el fichero de configuración: ") + name +
                             QStringLiteral(" Es posible que la aplicación no funcione "
                                            "correctamente."));
    }
}
