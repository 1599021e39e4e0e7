// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_DEFINIR_SEÑALES_GRAF, "Definir ondas gráficamente": the user draws a
// waveform with the mouse as straight segments over the table's 300 steps,
// then accepts it as the table or clears it.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "generator/signal_drawing.h"
#include "generator/wave_fields.h"

class DrawingSurface;
class Session;
struct VarGlob;

class FrmDefinirSenalesGraf : public QDialog {
    Q_OBJECT
  public:
    // range: the vertical range of the drawing area, set at load and at
    // "&Borrar". An accepted drawing is kept within the analog output's
    // largest code.
    FrmDefinirSenalesGraf(Session& session, CodeRange range, QWidget* parent = nullptr);

    void setRange(CodeRange range) { range_ = range; }
    // Nothing drawn: the area with its grid and graduations, the labels 0.
    void reset();
    bool accepted() const { return accepted_; }
    // Closed by its frame: nothing accepted, and the drawing is let go.
    bool discarded() const { return discarded_; }
    const SignalDrawing& drawing() const { return drawing_; }
    // The largest code of the module the drawing is made for: the one in
    // use when the editor was loaded or last cleared.
    int16_t drawnMaxCode() const { return drawnMaxCode_; }

    DrawingSurface* PIC_TRAZADO = nullptr;
    QWidget* pic_escalas = nullptr;
    DrawingSurface* PIC_GRADUACION_X = nullptr;
    DrawingSurface* PIC_GRADUACION_Y = nullptr;
    QLabel* Lbl_text_X = nullptr;
    QLabel* Lbl_coor_X = nullptr;
    QLabel* Lbl_text_Y = nullptr;
    QLabel* Lbl_coor_Y = nullptr;
    QLabel* lbl_txt_periodo = nullptr;
    QLabel* lbl_periodo = nullptr;
    QLabel* lbl_txt_offset = nullptr;
    QLabel* lbl_offset = nullptr;
    QLabel* lbl_txt_amplitud = nullptr;
    QLabel* lbl_amplitud = nullptr;
    QCheckBox* chk_estimulo = nullptr;
    QPushButton* cmd_aceptar = nullptr;
    QPushButton* cmd_borrar = nullptr;

    void pressAt(float x, float y);
    void moveTo(float x, float y);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void drawScales();
    void showFigures();

    Session& session_;
    VarGlob& g_;
    CodeRange range_;
    SignalDrawing drawing_;
    bool accepted_ = false;
    bool discarded_ = false;
    int16_t drawnMaxCode_ = 0;
};
