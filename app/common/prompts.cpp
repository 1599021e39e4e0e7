// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/prompts.h"

#include "common/title.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace prompts {
namespace {
MessageHook& messageHook() {
    static MessageHook hook;
    return hook;
}
FileDialogHook& fileDialogHook() {
    static FileDialogHook hook;
    return hook;
}
BeepHook& beepHook() {
    static BeepHook hook;
    return hook;
}
}  // namespace

void setMessageHook(MessageHook hook) {
    messageHook() = std::move(hook);
}
void setFileDialogHook(FileDialogHook hook) {
    fileDialogHook() = std::move(hook);
}
void setBeepHook(BeepHook hook) {
    beepHook() = std::move(hook);
}

void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    if (messageHook()) {
        messageHook()({icon, title, text});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void tellNoModuleOnPort(QWidget* parent) {
    message(parent, QMessageBox::Information, QStringLiteral("Error de comunicación"),
            QStringLiteral("Atención en este Puerto no se encuentra ningún módulo"));
}

void tellLibraryProblem(const QString& text) {
    message(nullptr, QMessageBox::Critical, appTitle(), text);
}

QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> saveRefusal(const QString& name) {
    const QFileInfo info(name);
    if (!info.absoluteDir().exists()) {
        return QStringLiteral("%1\nLa carpeta no existe.").arg(name);
    }
    if (info.exists() && !info.isWritable()) {
        return QStringLiteral("%1\nEl archivo es de sólo lectura.").arg(name);
    }
    return std::nullopt;
}

QString filterExtension(const QString& filter, int index) {
    const QStringList parts = filter.split('|');
    const qsizetype at = 2 * qsizetype{index} + 1;
    if (index < 0 || at >= parts.size()) return QString();
    const QString first = parts[at].section(';', 0, 0).trimmed();
    // "*.pdf" gives "pdf"; "*" or "*.*" name no extension.
    const QString extension = first.section('.', 1);
    if (!first.startsWith(QStringLiteral("*.")) || extension.contains('*')) return QString();
    return extension;
}

QString withSuffix(const QString& name, const QString& suffix) {
    if (name.isEmpty() || suffix.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name + u'.' + suffix;
}

QString withFilterExtension(const QString& name, const QString& filter, int index) {
    return withSuffix(name, filterExtension(filter, index));
}

namespace {

// The save dialog itself. When the name is to take an extension (the chosen
// filter's, or the request's own) the dialog adds it, so its own question
// before overwriting is about the whole name.
FileChoice saveDialog(QWidget* parent, const FileDialogRequest& request, bool withExtension) {
    const QString filter = toQtFilter(request.filter);
    QFileDialog dialog(parent, request.title, request.initialName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = filter.split(QStringLiteral(";;"));
    const auto indexOf = [&filters](const QString& chosen) {
        return std::max(0, static_cast<int>(filters.indexOf(chosen)));
    };
    const auto follow = [&](const QString& chosen) {
        dialog.setDefaultSuffix(withExtension ? filterExtension(request.filter, indexOf(chosen))
                                              : request.defaultSuffix);
    };
    follow(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    if (dialog.exec() != QDialog::Accepted) return {};
    return {dialog.selectedFiles().value(0), indexOf(dialog.selectedNameFilter())};
}

FileChoice ask(QWidget* parent, const FileDialogRequest& request, bool withExtension) {
    if (request.kind == FileDialogRequest::Open) {
        if (fileDialogHook()) return fileDialogHook()(request);
        return QFileDialog::getOpenFileName(parent, request.title, request.initialName,
                                            toQtFilter(request.filter));
    }
    // The dialog asks before overwriting; the folder and the file are
    // checked here, since a typed name may still point anywhere.
    for (;;) {
        FileChoice choice = fileDialogHook() ? fileDialogHook()(request)
                                             : saveDialog(parent, request, withExtension);
        if (choice.name.isEmpty()) return choice;
        choice.name = withExtension
                          ? withFilterExtension(choice.name, request.filter, choice.filter)
                          : withSuffix(choice.name, request.defaultSuffix);
        const std::optional<QString> refusal = saveRefusal(choice.name);
        if (!refusal) return choice;
        message(parent, QMessageBox::Warning, request.title, *refusal);
    }
}

}  // namespace

QString fileDialog(QWidget* parent, const FileDialogRequest& request) {
    return ask(parent, request, false).name;
}

FileChoice chooseFile(QWidget* parent, const FileDialogRequest& request) {
    return ask(parent, request, true);
}

void beep() {
    if (beepHook()) {
        beepHook()();
        return;
    }
    QApplication::beep();
}

}  // namespace prompts
