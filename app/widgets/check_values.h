// SPDX-License-Identifier: GPL-3.0-or-later
// Check boxes and option buttons as the configuration file stores them.
#pragma once

class QCheckBox;
class QRadioButton;

// A check box's value: 0 unchecked, 1 checked, 2 greyed.
int checkValue(const QCheckBox* box);
// False, and the box left as it is, for any other value.
bool setCheckValue(QCheckBox* box, int value);

// Selects or unselects an option button; unselecting leaves its group with
// no option selected.
void setOptionValue(QRadioButton* option, bool selected);
