// SPDX-License-Identifier: GPL-3.0-or-later
// The program's help viewer: the help document, with its links, in a window
// of its own.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the document at its contents page (its top). A document that
    // cannot be read is reported inside the viewer.
    void openContents(const QString& file);

    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};
