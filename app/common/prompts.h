// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box, file dialog and beep of the program goes through here,
// so tests can answer them instead of a person (a modal box would block a
// headless test for ever).
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QWidget;

struct MessageRequest {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind;
    QString title;
    // The program's own filter form "Description|*.EXT".
    QString filter;
    QString initialName;
    // Added to a saved name that has no extension ("CFG"), before the
    // dialog asks about overwriting; empty: names are taken as typed.
    QString defaultSuffix = {};
};

// A file dialog's answer: the name (empty when the user cancels) and the
// filter chosen, counted from 0 in the request's filter.
struct FileChoice {
    // A bare name is an answer with the first filter, the one a dialog
    // starts with.
    FileChoice(QString chosenName = QString(), int chosenFilter = 0)
        : name(std::move(chosenName)), filter(chosenFilter) {}
    QString name;
    int filter;
};

namespace prompts {

// Shows a message box with an OK button.
void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

// Returns the chosen file, or an empty text when the user cancels. Save
// dialogs ask before overwriting; a name in a folder that does not exist or
// of a read-only file is refused with a message and the dialog asks again
// (an answer of the test hook too).
QString fileDialog(QWidget* parent, const FileDialogRequest& request);

// As fileDialog, with the filter chosen; a name saved without an extension
// takes the chosen filter's ("grafico" with "*.pdf" chosen is grafico.pdf).
FileChoice chooseFile(QWidget* parent, const FileDialogRequest& request);

// The extension of a filter of the program's form: the first pattern's,
// without the dot ("pdf" for "Documento PDF|*.pdf" at 0); empty when that
// filter has none or there is no such filter.
QString filterExtension(const QString& filter, int index);
// The name with the chosen filter's extension when it has none of its own.
QString withFilterExtension(const QString& name, const QString& filter, int index);

// name with "." and suffix added when it has no extension (an empty name
// or suffix: name as it is).
QString withSuffix(const QString& name, const QString& suffix);

// Why a save dialog refuses a name, or nothing when it takes it.
std::optional<QString> saveRefusal(const QString& name);

void beep();

// Tells the user that no module answered on the chosen port.
void tellNoModuleOnPort(QWidget* parent);

// Tells the user, once per missing library or name, that a TAVO_32 call
// cannot be bound (the library binding's problem teller).
void tellLibraryProblem(const QString& text);

// Turns the program's "Description|*.EXT" filter into Qt's "Description (*.EXT)".
QString toQtFilter(const QString& filter);

// Test hooks: while set, they answer instead of showing anything.
using MessageHook = std::function<void(const MessageRequest&)>;
using FileDialogHook = std::function<FileChoice(const FileDialogRequest&)>;
using BeepHook = std::function<void()>;
void setMessageHook(MessageHook hook);
void setFileDialogHook(FileDialogHook hook);
void setBeepHook(BeepHook hook);

}  // namespace prompts
