// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts (file dialogs, the text boxes' menu, standard buttons) in
// Spanish: the program speaks only Spanish, whatever the system's locale.
#pragma once

class QCoreApplication;

// Installs Qt's Spanish translation on the application; false when it is
// not installed on this system (Qt's texts then stay English).
bool installQtSpanish(QCoreApplication& app);
