// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/prompts.h"

#include "common/title.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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

namespace {

QString askSaveName(QWidget* parent, const QString& title, const QString& initialName,
                    const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, title, initialName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds it itself, so its overwrite question names the file
    // that will be written.
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString withSuffix(const QString& name, const QString& suffix) {
    if (name.isEmpty() || suffix.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name + u'.' + suffix;
}

QString fileDialog(QWidget* parent, const FileDialogRequest& request) {
    const QString filter = toQtFilter(request.filter);
    if (request.kind == FileDialogRequest::Open) {
        if (fileDialogHook()) return fileDialogHook()(request);
        return QFileDialog::getOpenFileName(parent, request.title, request.initialName, filter);
    }
    // The dialog asks before overwriting; the folder and the file are
    // checked here, since a typed name may still point anywhere.
    for (;;) {
        const QString name =
            withSuffix(fileDialogHook() ? fileDialogHook()(request)
                                        : askSaveName(parent, request.title, request.initialName,
                                                      filter, request.defaultSuffix),
                       request.defaultSuffix);
        if (name.isEmpty()) return name;
        const std::optional<QString> refusal = saveRefusal(name);
        if (!refusal) return name;
        message(parent, QMessageBox::Warning, request.title, *refusal);
    }
}

void beep() {
    if (beepHook()) {
        beepHook()();
        return;
    }
    QApplication::beep();
}

}  // namespace prompts
