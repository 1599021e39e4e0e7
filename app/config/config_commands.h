// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration commands the main window's menu runs.
#pragma once

#include <QString>

class QWidget;
class Session;

// "&Leer": asks for a file, reads it, and tells the user when reading failed.
// parent: the window the file dialog and the message belong to.
void RunLoadCommand(Session& session, QWidget* parent);

// The message that says a configuration file could not be read whole.
QString loadFailureText(const QString& name);
