// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/combo_choices.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

ComboChoices::ComboChoices(QComboBox* box) : QObject(box), box_(box) {
    connect(box_, &QComboBox::activated, this, [this] {
        if (!leaving_) emit chosen();
    });
    box_->installEventFilter(this);
    if (box_->lineEdit()) box_->lineEdit()->installEventFilter(this);
}

bool ComboChoices::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit entered();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && !leaving_) {
        // The box handles its focus loss now, so that what it reports while
        // doing so is known to come from the edit box.
        leaving_ = true;
        static_cast<QObject*>(watched)->event(event);
        leaving_ = false;
        return true;
    }
    return QObject::eventFilter(watched, event);
}
