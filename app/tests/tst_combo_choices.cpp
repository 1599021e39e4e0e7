// SPDX-License-Identifier: GPL-3.0-or-later
// An editable combo box acting on a list choice and on Enter only.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "widgets/combo_choices.h"

class TstComboChoices : public QObject {
    Q_OBJECT
  private slots:
    void onlyListChoicesAndEnterAct() {
        QComboBox box;
        box.setEditable(true);
        box.setInsertPolicy(QComboBox::NoInsert);
        for (int a = 0; a <= 7; ++a) box.addItem(QString::number(a));
        auto* choices = new ComboChoices(&box);
        QSignalSpy chosen(choices, &ComboChoices::chosen);
        QSignalSpy entered(choices, &ComboChoices::entered);
        QSignalSpy activated(&box, &QComboBox::activated);

        // Leaving the box with the text of another item: Qt reports it as
        // activated, which is no choice.
        box.setEditText("3");
        QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&box, &away);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(chosen.count(), 0);

        box.setEditText("5");
        QTest::keyClick(box.lineEdit(), Qt::Key_Return);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(chosen.count(), 0);

        // A choice from the list.
        emit box.activated(2);
        QCOMPARE(chosen.count(), 1);
    }
};

QTEST_MAIN(TstComboChoices)
#include "tst_combo_choices.moc"
