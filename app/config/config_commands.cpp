// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_commands.h"

#include "common/prompts.h"
#include "config/config_file.h"

QString loadFailureText(const QString& name) {
    return QStringLiteral(" Error al cargar el fichero de configuración: ") + name +
           QStringLiteral(" Es posible que la aplicación no funcione correctamente.");
}

void RunLoadCommand(Session& session, QWidget* parent) {
    const QString name =
        prompts::fileDialog(parent, {FileDialogRequest::Open,
                                     QStringLiteral("Desde donde Leer los datos de configuración"),
                                     QStringLiteral("Ficheros Configuración|*.CFG"), QString()});
    if (name.isEmpty()) return;
    if (!LoadConfiguration(session, name)) {
        prompts::message(parent, QMessageBox::Warning, QStringLiteral(" Error"),
                         loadFailureText(name));
    }
}
