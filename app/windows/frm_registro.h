// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window FRM_REGISTRO ("Registro"): the trace area with its two
// graduation strips, the top buttons, the cursor readout, the configure
// panel and the XY panel.
#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "display/plot_scale.h"

class Session;
class WindowVerbs;
class DrawingSurface;
class PlotTraceSink;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SamplingHolds;
class TracePlotter;
enum class SettingsGroup;

class FrmRegistro : public QWidget {
    Q_OBJECT
  public:
    FrmRegistro(Session& session, WindowVerbs& windows, QWidget* parent = nullptr);
    ~FrmRegistro() override;
    // Load handler: the XY area starts as tall as the trace area.
    void load();

    QPushButton* CMD_CONTROL;
    QPushButton* CMD_LIMPIAR;
    QPushButton* BT_Configurar;
    QPushButton* BT_Imprimir;
    // Saves the picture that "&Imprimir" prints as a PNG or PDF file.
    QPushButton* BT_GuardarImagen;
    QLabel* Lbl_text_X;
    QLabel* Lbl_coor_X;
    QLabel* Lbl_text_Y;
    QLabel* Lbl_coor_Y;

    // The plot: the container clips the trace area and the strips.
    DrawingSurface* pic_escalas;
    DrawingSurface* PIC_TRAZADO;
    DrawingSurface* PIC_GRADUACION_Y;
    DrawingSurface* PIC_GRADUACION_X;

    // Configure panel, inside the trace area.
    QGroupBox* MRC_Configurar;
    QLabel* Label1;
    QLineEdit* TXT_LSuperior;
    QLabel* Label2;
    QLineEdit* TXT_Linferior;
    QCheckBox* CHK_BORRADO;
    QCheckBox* CHK_REJILLA;
    QCheckBox* CHK_MODO;
    QPushButton* BT_Aplicar;
    QPushButton* BT_Cancelar;

    // XY panel.
    QGroupBox* MRC_MODO_XY;
    QGroupBox* frm_ejex;
    QGroupBox* frm_ejey;
    std::array<QRadioButton*, 5> opt_x{};
    std::array<QRadioButton*, 5> opt_y{};
    QPushButton* cmd_ajustar;
    QPushButton* BT_DOWN;
    QPushButton* BT_UP;

    // Draws the trace on PIC_TRAZADO.
    TracePlotter* tracePlotter;
    // The trace area and its strips.
    PlotSurfaces surfaces() const;

    // Start-up: the plot area's scale for the sampling settings, and the
    // strips drawn to match.
    void showStartScale();

    // XY mode taken into use or left, as "Aplicar" decides from "Modo XY".
    void EnterXYMode();
    void LeaveXYMode();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The settings model: shown in the controls, and the controls' changes
    // written back to it.
    void connectSettings();
    void showSettings(SettingsGroup group);
    void takeControls();

    // The window's own events (frm_registro_interaction.cpp).
    void connectInteraction();
    void openConfigurePanel();
    void applyConfigurePanel();
    void cancelConfigurePanel();
    void chooseAxis(bool xAxis, int index);
    void pressAdjust();
    void startAdjusting();
    void endAdjusting();
    void stepWidth(bool wider);
    void cursorPressed(Qt::MouseButton button, float x, float y);
    void cursorMoved(Qt::MouseButtons buttons, float x, float y);
    void cursorReleased(Qt::MouseButton button);
    void printPlot();
    void savePlotImage();
    // The window as printed: without its top buttons and the configure panel.
    QImage plotPicture();
    // Both graduation strips, and the grid when "Rejilla" is ticked.
    void drawScaleAndGrid();
    bool xyMode() const;

    Session& session_;
    WindowVerbs& windows_;
    // What the sampling engine draws goes here while the window lives.
    std::unique_ptr<PlotTraceSink> sink_;
    bool showing_ = false;
    std::unique_ptr<SamplingHolds> holds_;
};
