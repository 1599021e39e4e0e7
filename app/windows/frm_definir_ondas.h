// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_DEFINIR_ONDAS, "Seleccionar Señal": the parameters of a periodic wave,
// a stimulus or the drawn signal, each field checked against the
// converter's range, and the buttons that fill the table and play it.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <cstdint>

#include "generator/wave_fields.h"

class GeneratorVerbs;
class Session;
class WavePlayer;
struct VarGlob;

class FrmDefinirOndas : public QDialog {
    Q_OBJECT
  public:
    FrmDefinirOndas(Session& session, GeneratorVerbs& verbs, QWidget* parent = nullptr);

    // Shows one frame and hides the other two.
    void showFrame(WaveFrame frame);
    // The largest code and full scale follow the module; texts made for
    // another maximum are replaced by the defaults.
    void activate();
    // The user frame's fields take a drawing's figures. Figures of a drawing
    // made for another largest code (madeFor; 0 when not known) that this
    // one's rules refuse give way to the defaults for the module in use.
    void setUserFigures(const QString& amplitude, const QString& offset, const QString& period,
                        int16_t madeFor = 0);

    int16_t MaxCode = 4095;

    QGroupBox* MRC_ONDAS = nullptr;
    QGroupBox* MRC_ESTIMULOS = nullptr;
    QGroupBox* MRC_USUARIO = nullptr;
    // In WaveField order.
    std::array<QLineEdit*, kWaveFields> fields{};
    QLineEdit* TXT_AMPLITUD_ONDA = nullptr;
    QLineEdit* TXT_OFFSET_ONDA = nullptr;
    QLineEdit* TXT_PERIODO_ONDA = nullptr;
    QLineEdit* TXT_AMPLITUD_ESTIMULOS = nullptr;
    QLineEdit* TXT_OFFSET_ESTIMULOS = nullptr;
    QLineEdit* TXT_PERIODO_ESTIMULOS = nullptr;
    QLineEdit* TXT_AMPLITUD_USUARIO = nullptr;
    QLineEdit* TXT_OFFSET_USUARIO = nullptr;
    QLineEdit* TXT_PERIODO_USUARIO = nullptr;
    std::array<QLabel*, kWaveFields> labels{};
    std::array<QPushButton*, 4> CMD_ONDA{};
    std::array<QPushButton*, 4> CMD_ESTIMULOS{};
    std::array<QPushButton*, 3> CMD_USUARIO{};

    void onOnda(int index);
    void onEstimulos(int index);
    void onUsuario(int index);

  signals:
    // Closed by its frame: the window set lets it go.
    void discarded();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void setDefaults();
    // Runs the field's rule; when it fails, shows the message and writes the
    // corrected value. True when the text was valid. It runs on Enter, when
    // the focus leaves the field and before any button acts
    // (widgets/focus_checks.h), so a button acts on checked values only.
    bool validate(WaveField field);
    int16_t value(WaveField field) const;
    std::array<QString, kWaveFields> texts() const;
    void refuse(const QString& message);
    void startPlaying(const QString& amplitude, const QString& offset, const QString& period);

    VarGlob& g_;
    WavePlayer& player_;
    GeneratorVerbs& verbs_;
    float fullScale_ = 4.095f;
    int16_t textsMaxCode_ = 0;
};
