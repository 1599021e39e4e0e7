// SPDX-License-Identifier: GPL-3.0-or-later
// The main window FRM_CONTROL: sampling settings, live values, analog
// output, generator and the menus. The program's start-up
// (startup/startup.cpp) runs its load; closing it ends the program.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>

class Session;
class WindowVerbs;
class DrawingSurface;
class GeneratorVerbs;
enum class SettingsGroup;

class FrmControl : public QMainWindow {
    Q_OBJECT
  public:
    FrmControl(Session& session, WindowVerbs& windows, QWidget* parent = nullptr);
    ~FrmControl() override;

    // Load handler: the sampling bars' ranges, the timers stopped.
    void load();
    // The end of the start-up: the generator preview's scale and colours.
    void showStartPreview();

    // The main window's own operations, which its menus and buttons run.
    void StartStopRecording();
    void ClearWaveform();
    // Ends the program at once: no data file, no saved configuration.
    void EndApplication();
    bool ending() const { return ending_; }
    // How the generator panel opens the waveform dialog and the editor.
    void setGeneratorVerbs(GeneratorVerbs* verbs) { generatorVerbs_ = verbs; }

    // The help document the help menu opens.
    QString helpFile() const { return helpFile_; }

    // Frames.
    QGroupBox* MRC_MUESTREO = nullptr;
    QGroupBox* MRC_ANALOGICO = nullptr;
    QGroupBox* MRC_Salida_Analogica = nullptr;
    QGroupBox* MRC_GENERADOR = nullptr;
    QGroupBox* MRC_ONDAS = nullptr;

    // Sampling settings.
    QPushButton* cmd_inic = nullptr;
    QLabel* Lbl_text_muestras = nullptr;
    QScrollBar* Hsr_muestras = nullptr;
    QLineEdit* Txt_Muestras = nullptr;
    QLabel* Lbl_text_Periodo = nullptr;
    QScrollBar* Hsr_Periodo = nullptr;
    QLineEdit* Txt_Periodo = nullptr;
    QRadioButton* OPT_Una = nullptr;
    QRadioButton* Option1 = nullptr;
    QCheckBox* CHK_Guardar = nullptr;
    QLabel* Lbl_archivo = nullptr;
    QLabel* Lbl_text_contador = nullptr;
    QLabel* Lbl_Contamuestras = nullptr;
    QLabel* Lbl_text_preal = nullptr;
    QLabel* lbl_Preal = nullptr;

    // The status bar's permanent field: the hardware the library reaches.
    QLabel* Lbl_acceso = nullptr;

    // Live values: rows CH 0 to CH 3 and the analog output.
    std::array<QCheckBox*, 5> CHK_VIS{};
    std::array<QLabel*, 5> Lbl_Vis{};
    std::array<QLabel*, 5> LBUnidades{};

    // Analog output.
    QScrollBar* HSr_salanal = nullptr;
    QLineEdit* Txt_salanal = nullptr;
    QLabel* LB_MODO = nullptr;
    QLabel* IMG_Modo = nullptr;

    // Generator.
    QCheckBox* Chk_onda = nullptr;
    std::array<QPushButton*, 3> cmd_gen{};
    QPushButton* CMD_borrar_onda = nullptr;
    DrawingSurface* pic_onda = nullptr;
    QLabel* lbl_txt_preal_onda = nullptr;
    QLabel* lbl_per_real_onda = nullptr;
    QLabel* Lbl_txt_ampl = nullptr;
    QLabel* LBL_AMPLITUD_ONDA = nullptr;
    QLabel* lbl_txt_offset = nullptr;
    QLabel* LBL_OFFSET_ONDA = nullptr;
    QLabel* lbl_txt_per = nullptr;
    QLabel* LBL_PERIODO_ONDA = nullptr;

    QPushButton* BT_Configurar = nullptr;

    QTimer* TMR_ANALOGICO = nullptr;
    QTimer* Tmr_onda = nullptr;

    // Menus: each item is an action; the two submenus also keep their menu.
    QMenu* MN_Ficheros_menu = nullptr;
    QMenu* MN_Configuracion_menu = nullptr;
    QAction* MN_Ficheros = nullptr;
    QAction* MN_Guardar = nullptr;
    // The log of every sweep and the recording viewer (frm_control_log.cpp).
    QAction* MN_AbrirRegistro = nullptr;
    QAction* MN_GuardarTodos = nullptr;
    QAction* MN_CortarTamano = nullptr;
    QAction* MN_CortarMedianoche = nullptr;
    QAction* MN_Fin = nullptr;
    QAction* MN_Colores = nullptr;
    QAction* MN_Configuracion = nullptr;
    QAction* ModificarConfiguracion = nullptr;
    QAction* MN_GrabarConfiguracion = nullptr;
    QAction* MN_LEER = nullptr;
    QAction* MN_AYUDA = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildSampling(QWidget* central);
    void buildChannels(QWidget* central);
    void buildAnalogOutput(QWidget* central);
    void buildGenerator(QWidget* central);
    void buildMenus();
    void connectHandlers();
    // The settings model: shown in the controls, and the controls' changes
    // written back to it.
    void connectSettings();
    // Recording and analog output: the controls' events go to the engines,
    // and what the engines report is shown (frm_control_recording.cpp).
    void connectRecording();
    void connectAnalogOutput();
    // The generator panel (frm_control_generator.cpp).
    void connectGenerator();
    // Names the library's backend in the title and the status bar, and warns
    // once when the bench stands in for a port that could not be had.
    void showBackend();
    void connectLog();
    void showLogStopped(const QString& message);
    void onGenerator(int index);
    void chooseDataFile();
    void leaveSettingBox(QLineEdit* box);
    void leaveOutputBox();
    void showWriteFailed(const QString& fileName, const QString& reason, bool first);
    void showWriteSucceeded();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showSettings(SettingsGroup group);
    void takeControls();

    void onBtConfigurar();
    void onModificarConfiguracion();
    void onGrabarConfiguracion();
    void onLeer();
    void onAyuda();

    Session& session_;
    WindowVerbs& windows_;
    QString helpFile_;
    GeneratorVerbs* generatorVerbs_ = nullptr;
    bool ending_ = false;
    bool showing_ = false;
};
