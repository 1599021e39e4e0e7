// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/focus_checks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

FocusChecks& FocusChecks::of(QWidget* widget) {
    QWidget* window = widget->window();
    if (auto* existing = window->findChild<FocusChecks*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *existing;
    }
    return *new FocusChecks(window);
}

FocusChecks::FocusChecks(QWidget* window) : QObject(window), window_(window) {
    // The application's filter sees a button's events before the button
    // does, and before any filter of the window's own.
    qApp->installEventFilter(this);
}

void FocusChecks::watch(QLineEdit* box, Check check, bool everyLeaving) {
    boxes_.push_back({box, std::move(check), everyLeaving});
    windowClass_ = window_->metaObject();
}

const FocusChecks::Watched* FocusChecks::watchedOf(const QObject* box) const {
    for (const Watched& w : boxes_) {
        if (w.box == box) return &w;
    }
    return nullptr;
}

bool FocusChecks::inWindow(const QObject* object) const {
    return object->isWidgetType() && static_cast<const QWidget*>(object)->window() == window_;
}

bool FocusChecks::run(const Check& check) {
    checking_ = true;
    const bool accepted = check();
    checking_ = false;
    return accepted;
}

void FocusChecks::giveBack(QLineEdit* box) {
    // Taking the focus back is no leaving of the control that had it.
    checking_ = true;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    checking_ = false;
}

bool FocusChecks::passFocusedBox() {
    if (checking_) return true;
    auto* box = qobject_cast<QLineEdit*>(window_->focusWidget());
    const Watched* watched = watchedOf(box);
    if (!watched || !box->isVisible()) return true;
    if (run(watched->check)) return true;
    giveBack(box);
    return false;
}

void FocusChecks::focusLeft(QLineEdit* box, Qt::FocusReason reason) {
    const Watched* watched = watchedOf(box);
    if (!watched || checking_) return;
    // Another window coming to the front, or a menu, is no leaving; nor is a
    // frame hiding the box while its window stays.
    const bool elsewhere = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (elsewhere && !watched->everyLeaving) return;
    if (window_->isVisible() && !box->isVisible()) return;
    if (run(watched->check)) return;
    // Once the box has finished losing the focus, which also drops its
    // selection.
    QTimer::singleShot(0, box, [this, box] { giveBack(box); });
    refusedJustNow_ = true;
    QTimer::singleShot(0, this, [this] { refusedJustNow_ = false; });
}

bool FocusChecks::eventFilter(QObject* watched, QEvent* event) {
    if (window_->metaObject() != windowClass_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusOut:
            if (auto* box = qobject_cast<QLineEdit*>(watched); box && watchedOf(box)) {
                focusLeft(box, static_cast<QFocusEvent*>(event)->reason());
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            if (!inWindow(watched)) break;
            // The click whose focus move was refused goes no further; its
            // release ends it.
            if (refusedJustNow_) {
                if (event->type() == QEvent::MouseButtonRelease) refusedJustNow_ = false;
                return true;
            }
            // A button that takes no focus from a click leaves it in the box.
            if (event->type() != QEvent::MouseButtonRelease &&
                qobject_cast<QAbstractButton*>(watched) &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                return !passFocusedBox();
            }
            break;
        case QEvent::Shortcut:
            // An access key presses its button without moving the focus.
            if (qobject_cast<QAbstractButton*>(watched) && inWindow(watched)) {
                return !passFocusedBox();
            }
            break;
        case QEvent::KeyPress: {
            // Enter and Esc that reach a dialog press its default or cancel
            // button.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (watched == window_ && qobject_cast<QDialog*>(window_) &&
                (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
                return !passFocusedBox();
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
