// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/check_values.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

bool setCheckValue(QCheckBox* box, int value) {
    switch (value) {
        case 0:
            box->setCheckState(Qt::Unchecked);
            return true;
        case 1:
            box->setCheckState(Qt::Checked);
            return true;
        case 2:
            box->setCheckState(Qt::PartiallyChecked);
            return true;
        default:
            return false;
    }
}

void setOptionValue(QRadioButton* option, bool selected) {
    if (selected || !option->isChecked()) {
        option->setChecked(selected);
        return;
    }
    if (QButtonGroup* group = option->group(); group && group->exclusive()) {
        group->setExclusive(false);
        option->setChecked(false);
        group->setExclusive(true);
        return;
    }
    const bool autoExclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(autoExclusive);
}
