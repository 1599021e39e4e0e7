// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/title.h"

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ayuda de %1").arg(appTitle()));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 520);
}

void HelpWindow::openContents(const QString& file) {
    if (QFile::exists(file)) {
        // A resource path (":/...") must become a qrc URL so that the
        // document's relative links resolve inside the resources.
        const QUrl url =
            file.startsWith(':') ? QUrl(QStringLiteral("qrc") + file) : QUrl::fromLocalFile(file);
        browser_->setSource(url);
        browser_->home();
    } else {
        browser_->setHtml(QStringLiteral("<p>No se encuentra el archivo de ayuda <b>%1</b>.</p>")
                              .arg(file.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
}
