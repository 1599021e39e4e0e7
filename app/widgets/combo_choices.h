// SPDX-License-Identifier: GPL-3.0-or-later
// An editable combo box that acts on a choice from its list and on Enter
// only. Qt also reports an item as activated when the edit box loses the
// focus holding a text that names another item (a Tab after typing, or a
// message box opened by the Enter handling itself); those are not choices.
#pragma once

#include <QObject>

class QComboBox;

class ComboChoices : public QObject {
    Q_OBJECT
  public:
    // Watches box, which it belongs to.
    explicit ComboChoices(QComboBox* box);

  signals:
    // An item was chosen from the list.
    void chosen();
    // Enter (or the keypad's Enter) in the edit box; the key goes no further.
    void entered();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QComboBox* box_;
    // Set while the focus leaves the box.
    bool leaving_ = false;
};
