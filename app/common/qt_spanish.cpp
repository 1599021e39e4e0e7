// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt_spanish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtSpanish(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // By file name, not by the system's languages.
    if (!translator->load(QStringLiteral("qtbase_es"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
