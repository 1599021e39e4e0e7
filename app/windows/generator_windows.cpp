#include "windows/generator_windows.h"

#include "core/var_glob.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_definir_senales_graf.h"

GeneratorWindows::GeneratorWindows(VarGlob& g, WavePlayer& player,
                                   std::function<int()> outputMaximum, QWidget* owner)
    : g_(g), player_(player), outputMaximum_(std::move(outputMaximum)), owner_(owner) {}

GeneratorWindows::~GeneratorWindows() {
    delete editor_.data();
    delete dialog_.data();
}

FrmDefinirOndas* GeneratorWindows::waveDialog() {
    if (!dialog_) {
        dialog_ = new FrmDefinirOndas(g_, player_, *this, owner_);
        // After the handler that closed it, and after a modal showing ends.
        QObject::connect(dialog_, &FrmDefinirOndas::discarded, dialog_, [this] {
            dialog_->deleteLater();
            dialog_ = nullptr;
        });
    }
    return dialog_;
}

FrmDefinirOndas* GeneratorWindows::loadedWaveDialog() const {
    return dialog_;
}

FrmDefinirSenalesGraf* GeneratorWindows::loadedEditor() const {
    return editor_;
}

void GeneratorWindows::showWaveDialog(WaveFrame frame) {
    FrmDefinirOndas* d = waveDialog();
    d->showFrame(frame);
    d->show();
    d->raise();
    d->activateWindow();
}

void GeneratorWindows::showUserSignalDialog(const DrawnFigures& figures) {
    FrmDefinirOndas* d = waveDialog();
    d->setUserFigures(figures.amplitude, figures.offset, figures.period);
    d->showFrame(WaveFrame::User);
    d->exec();
}

std::optional<DrawnFigures> GeneratorWindows::editDrawnSignal() {
    // The editor draws in codes; the plot's own limits are left alone for
    // the next recording.
    const CodeRange range = editorCodeRange(g_.ModuleType, g_.PlotLower);
    if (!editor_) {
        editor_ = new FrmDefinirSenalesGraf(g_, range, outputMaximum_, owner_);
    } else {
        editor_->setRange(range);
    }
    editor_->exec();
    if (editor_->discarded()) {
        // Let go once this call has returned; the next opening loads afresh.
        editor_->deleteLater();
        editor_ = nullptr;
        return std::nullopt;
    }
    if (!editor_->accepted()) return std::nullopt;
    return drawnFigures();
}

DrawnFigures GeneratorWindows::drawnFigures() {
    if (!editor_) return {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    return {editor_->lbl_amplitud->text(), editor_->lbl_offset->text(),
            editor_->lbl_periodo->text()};
}
