// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog FRM_CONFIGURACION: module type, port, address,
// input mode, scale and units. It checks an 8-bit converter module whenever
// port, address or mode change, shows on the main window which inputs exist,
// and saves the configuration file.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include <array>
#include <cstdint>

class Session;
class WindowVerbs;
enum class SettingsGroup;

class FrmConfiguracion : public QDialog {
    Q_OBJECT
  public:
    FrmConfiguracion(Session& session, WindowVerbs& windows, QWidget* parent = nullptr);

    // Load handler.
    void load();

    // Shows the channels and the mode picture of the present module type and
    // input mode on the main window; sends the mode to an 8-bit module
    // (config/module_setup.h).
    void ApplyInputMode();
    // Takes the selected port into PortBase and checks the module.
    void ApplyPort();
    // Asks where to save and writes the configuration file there.
    void SelectCFG();

    // Event handlers, public so that tests can run them as the dialog's own
    // events do.
    void OPT_TIPO_Click(int index);
    void OPT_PUERTO_Click(int index);
    void BT_NUEVO_MODO_Click(int index);
    void cmb_pastilla_Click();
    void cmb_pastilla_Enter();
    // The scale box's check, run when the focus leaves it and before any
    // button acts (widgets/focus_checks.h): a scale that is not above 0 is
    // refused with a beep and the scale kept at load goes back in the box.
    bool TxtEscala_LostFocus();
    void BT_Cerrar_Click();
    void BTGuardar_Click();

    // Index of the first selected option of the group, -1 when none is.
    int selectedTipo() const;
    int selectedPuerto() const;

    // Controls.
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 4> OPT_TIPO{};
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 3> OPT_PUERTO{};
    QLabel* Lbl_Pastilla_txt = nullptr;
    QComboBox* cmb_pastilla = nullptr;
    QGroupBox* Frame2 = nullptr;
    QFrame* PNL_MODOS = nullptr;
    std::array<QPushButton*, 4> BT_NUEVO_MODO{};
    QLabel* Label1 = nullptr;
    QLineEdit* TxtEscala = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* TxtUnidades = nullptr;
    QPushButton* BTColores = nullptr;
    QPushButton* BTGuardar = nullptr;
    QPushButton* BT_Cerrar = nullptr;

    // What the module set-up was when the dialog loaded; a refused scale
    // goes back to keptScaleFactor.
    int16_t keptModuleAddress = 0;
    int16_t keptPortBase = 0;
    float keptScaleFactor = 0.0f;
    QString keptUnitsText;
    int16_t keptInputMode = 0;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // A configuration file read while the dialog exists changes the module
    // set-up under it: its boxes, port option and kept copies follow the
    // globals again, without running any click.
    void takeLoadedSettings();
    // The settings model's state of the dialog shown in its controls, and
    // the controls' changes written back to it.
    void connectSettings();
    void showSettings(SettingsGroup group);
    void takeDrafts();
    void buildControls();
    void connectHandlers();
    // The module settings into the boxes, and the copies kept of them.
    void showAndKeepSettings();
    // The selected type, the modes it offers and the address in the box.
    void showModuleChoice();
    // The port option of the port in force, without running its click.
    void showPort();
    // Tells the user that no module answered at the chosen address.
    void checkAddress();

    Session& session_;
    WindowVerbs& windows_;
    bool showing_ = false;
};
