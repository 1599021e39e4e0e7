// SPDX-License-Identifier: GPL-3.0-or-later
// The colour dialog's widgets: opening on the output, the bars and boxes,
// "&Reponer", "&Cancelar", Esc and the close box.
#include <QtTest>

#include <algorithm>
#include <cstdlib>

#include "display/drawing_surface.h"
#include "widgets/colours.h"
#include "windows/frm_colores.h"

class TstColourDialog : public QObject {
    Q_OBJECT

    static ColourTable opened() {
        ColourTable t = DefaultColours();
        t[5][1] = 0x101010;  // not the defaults: "&Reponer" must come back here
        t[5][2] = kColourWhite;
        return t;
    }

  private slots:
    void opensOnTheOutputInMagenta() {
        FrmColores dialog;
        dialog.load(DefaultColours());
        QVERIFY(dialog.OPT_COL[4]->isChecked());
        QCOMPARE(dialog.HSR_RED->value(), 255);
        QCOMPARE(dialog.HSR_GREEN->value(), 0);
        QCOMPARE(dialog.HSR_BLUE->value(), 255);
        QCOMPARE(dialog.TXT_RED->text(), QString("255"));
        const QPalette frame = dialog.PNL_CONTROLES->palette();
        QCOMPARE(fromQColor(frame.color(QPalette::Window)), 0xFF00FF);
        QCOMPARE(fromQColor(frame.color(QPalette::WindowText)), kColourWhite);
        QCOMPARE(labelBackColour(dialog.Lbl_col[1]), 0x00FF00);
        QCOMPARE(labelForeColour(dialog.Lbl_col[1]), kColourBlack);
        QCOMPARE(dialog.PIC_COLORES->backColor(), kColourWhite);
    }

    // The bars keep their own look on the frame, whatever its colour: most
    // of a bar's pixels stand out from the frame's colour.
    void barsStandOutFromTheFrame_data() {
        QTest::addColumn<int>("colour");
        for (const int c :
             {0xFF00FF, 0x000000, 0xFFFFFF, 0xC0C0C0, 0xEFEFEF, 0x0000FF, 0x808080, 0xFFFF00}) {
            QTest::addRow("%06X", c) << c;
        }
    }
    void barsStandOutFromTheFrame() {
        QFETCH(int, colour);
        ColourTable table = DefaultColours();
        table[4][1] = colour;
        FrmColores dialog;
        dialog.load(table);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QColor frame = toQColor(colour);
        for (QScrollBar* bar : {dialog.HSR_RED, dialog.HSR_GREEN, dialog.HSR_BLUE}) {
            const QImage image = bar->grab().toImage();
            int near = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor p = image.pixelColor(x, y);
                    const int distance = std::max({std::abs(p.red() - frame.red()),
                                                   std::abs(p.green() - frame.green()),
                                                   std::abs(p.blue() - frame.blue())});
                    near += distance <= 24 ? 1 : 0;
                }
            }
            const double share = double(near) / (image.width() * image.height());
            QVERIFY2(share < 0.5, qPrintable(bar->objectName()));
        }
    }

    void greenBarOfE0TurnsItsContrastBlack() {
        FrmColores dialog;
        dialog.load(DefaultColours());
        dialog.OPT_COL[0]->click();
        QCOMPARE(dialog.HSR_BLUE->value(), 255);
        dialog.HSR_GREEN->setValue(200);
        QCOMPARE(dialog.TXT_GREEN->text(), QString("200"));
        QCOMPARE(dialog.editor().table()[0][1], 256 * 200 + 65536 * 255);
        QCOMPARE(dialog.editor().table()[0][2], kColourBlack);
        QCOMPARE(labelForeColour(dialog.Lbl_col[0]), kColourBlack);
        QCOMPARE(fromQColor(dialog.PNL_CONTROLES->palette().color(QPalette::WindowText)),
                 kColourBlack);
    }

    void enterHoldsThePartAndMovesTheFocus_data() {
        QTest::addColumn<int>("box");  // 0 red, 1 green, 2 blue
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("next");
        QTest::newRow("300 in red") << 0 << "300"
                                    << "255" << 255 << 1;
        QTest::newRow("-7 in green") << 1 << "-7"
                                     << "0" << 0 << 2;
        QTest::newRow("12.6 in blue") << 2 << "12.6"
                                      << "13" << 13 << 0;
        QTest::newRow("the bar's own value stays as typed") << 0 << "254.6"
                                                            << "254.6" << 255 << 1;
    }
    void enterHoldsThePartAndMovesTheFocus() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, value);
        QFETCH(int, next);
        FrmColores dialog;
        dialog.load(DefaultColours());
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const std::array<QLineEdit*, 3> boxes{dialog.TXT_RED, dialog.TXT_GREEN, dialog.TXT_BLUE};
        const std::array<QScrollBar*, 3> bars{dialog.HSR_RED, dialog.HSR_GREEN, dialog.HSR_BLUE};
        boxes[size_t(box)]->setFocus();
        boxes[size_t(box)]->setText(typed);
        QTest::keyClick(boxes[size_t(box)], Qt::Key_Return);
        QCOMPARE(boxes[size_t(box)]->text(), shown);
        QCOMPARE(bars[size_t(box)]->value(), value);
        QCOMPARE(QApplication::focusWidget(), boxes[size_t(next)]);
        // Enter belongs to the box: the dialog is still open.
        QVERIFY(dialog.isVisible());
    }

    // "&Reponer" goes back to the opening colours; "&Cancelar", Esc and the
    // close box end the dialog, only the close box and "&Aceptar" keeping the
    // edits.
    void buttonsAfterEdits_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Aceptar") << "aceptar" << true;
        QTest::newRow("close box") << "close" << true;
        QTest::newRow("Cancelar") << "cancelar" << false;
        QTest::newRow("Esc") << "esc" << false;
    }
    void buttonsAfterEdits() {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        FrmColores dialog;
        std::optional<ColourTable> result;
        bool resetToOpening = false;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.OPT_COL[5]->click();
            dialog.HSR_RED->setValue(200);
            dialog.OPT_COL[2]->click();
            dialog.HSR_BLUE->setValue(77);
            dialog.CMD_REPONER->click();
            resetToOpening = dialog.editor().table() == opened() && dialog.OPT_COL[4]->isChecked();
            dialog.HSR_GREEN->setValue(100);
            if (how == "aceptar") dialog.CMD_ACEPTAR->click();
            if (how == "cancelar") dialog.CMD_CANCELAR->click();
            if (how == "esc") QTest::keyClick(&dialog, Qt::Key_Escape);
            if (how == "close") dialog.close();
        });
        result = dialog.edit(opened());
        QVERIFY(resetToOpening);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(result.has_value(), kept);
        if (kept) {
            ColourTable expected = opened();
            expected[4][1] = 0xFF64FF;
            expected[4][2] = kColourBlack;  // 0.3*255 + 0.6*100 + 0.1*255 = 161
            QCOMPARE(*result, expected);
        }
    }
};

QTEST_MAIN(TstColourDialog)
#include "tst_colour_dialog.moc"
