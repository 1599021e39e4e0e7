#include "common/prompts.h"

#include <QApplication>
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

QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    }
    return out.join(QStringLiteral(";;"));
}

QString fileDialog(QWidget* parent, const FileDialogRequest& request) {
    if (fileDialogHook()) return fileDialogHook()(request);
    const QString filter = toQtFilter(request.filter);
    if (request.kind == FileDialogRequest::Open) {
        return QFileDialog::getOpenFileName(parent, request.title, request.initialName, filter);
    }
    // The dialog asks before overwriting; a folder that does not exist
    // cannot be chosen in it. A read-only file is refused here.
    for (;;) {
        const QString name =
            QFileDialog::getSaveFileName(parent, request.title, request.initialName, filter);
        if (name.isEmpty()) return name;
        const QFileInfo info(name);
        if (info.exists() && !info.isWritable()) {
            message(parent, QMessageBox::Warning, request.title,
                    QStringLiteral("%1\nEl archivo es de sólo lectura.").arg(name));
            continue;
        }
        return name;
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
