// SPDX-License-Identifier: GPL-3.0-or-later
// The colour dialog FRM_COLORES ("Colores"): the user picks a row of the
// colour table (E0 to E3, the analog output, the plot area) and sets its
// colour with three bars or three boxes; the row's contrast colour follows.
// The dialog works on a copy of the table and hands it back; it knows no
// other window.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <array>
#include <optional>

#include "common/colour_rules.h"
#include "display/colour_editor.h"

class DrawingSurface;

class FrmColores : public QDialog {
    Q_OBJECT
  public:
    explicit FrmColores(QWidget* parent = nullptr);

    // Shows the dialog modally on a copy of table: the edited colours when
    // the user accepts or closes the window, nothing when they cancel.
    std::optional<ColourTable> edit(const ColourTable& table);

    // Load: a new copy of the table to go back to, the output selected, the
    // preview painted.
    void load(const ColourTable& table);
    const ColourEditor& editor() const { return editor_; }
    // The swatches, the preview and the frame in the colours being edited.
    void RefreshColourPreview();

    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 6> OPT_COL{};
    std::array<QLabel*, 6> Lbl_col{};
    DrawingSurface* PIC_COLORES = nullptr;
    QGroupBox* PNL_CONTROLES = nullptr;
    QScrollBar* HSR_RED = nullptr;
    QScrollBar* HSR_GREEN = nullptr;
    QScrollBar* HSR_BLUE = nullptr;
    QLineEdit* TXT_RED = nullptr;
    QLineEdit* TXT_GREEN = nullptr;
    QLineEdit* TXT_BLUE = nullptr;
    QPushButton* CMD_ACEPTAR = nullptr;
    QPushButton* CMD_REPONER = nullptr;
    QPushButton* CMD_CANCELAR = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box keeps the edits, as "&Aceptar" does.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void connectHandlers();
    // The option, bars and boxes as the editor holds them.
    void showSelection();
    void barMoved(ColourPart part, int value);
    void partEntered(ColourPart part);
    QScrollBar* bar(ColourPart part) const;
    QLineEdit* box(ColourPart part) const;

    ColourEditor editor_;
    // Set while the bars follow the editor, so their change is not an edit.
    bool showing_ = false;
};
