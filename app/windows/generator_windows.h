// The generator's two windows, the waveform dialog and the graphic editor:
// each created on first use and discarded when closed by its frame. They
// reach each other, and the main window reaches them, only through the
// verbs implemented here.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "windows/generator_verbs.h"

class FrmDefinirOndas;
class FrmDefinirSenalesGraf;
class WavePlayer;
struct VarGlob;

class GeneratorWindows : public GeneratorVerbs {
  public:
    // owner: the window the dialogs stay in front of.
    GeneratorWindows(VarGlob& g, WavePlayer& player, std::function<int()> outputMaximum,
                     QWidget* owner);
    ~GeneratorWindows() override;

    void showWaveDialog(WaveFrame frame) override;
    void showUserSignalDialog(const DrawnFigures& figures) override;
    std::optional<DrawnFigures> editDrawnSignal() override;
    DrawnFigures drawnFigures() override;

    // The dialog, created and loaded on first use.
    FrmDefinirOndas* waveDialog();
    // The windows as they stand, null while not loaded.
    FrmDefinirOndas* loadedWaveDialog() const;
    FrmDefinirSenalesGraf* loadedEditor() const;

  private:
    VarGlob& g_;
    WavePlayer& player_;
    std::function<int()> outputMaximum_;
    QPointer<QWidget> owner_;
    QPointer<FrmDefinirOndas> dialog_;
    QPointer<FrmDefinirSenalesGraf> editor_;
};
