// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_visor.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "acquisition/sample_units.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "common/title.h"
#include "core/session.h"
#include "display/plot_image.h"
#include "display/recording_canvas.h"
#include "widgets/colours.h"

namespace {

const char* const kChannelNames[5] = {"CH 0", "CH 1", "CH 2", "CH 3", "SA"};
// New rows show within a second: the log reaches the disk within a quarter,
// the file is looked at every half.
constexpr int kFollowMs = 500;

}  // namespace

FrmVisor::FrmVisor(Session& session, const QString& fileName, QWidget* parent)
    : QWidget(parent), session_(session), file_(fileName) {
    setObjectName(QStringLiteral("FRM_VISOR"));
    setWindowTitle(QStringLiteral("Registro guardado - %1").arg(QFileInfo(fileName).fileName()));
    auto* top = new QHBoxLayout;
    for (size_t i = 0; i < CHK_VER.size(); ++i) {
        CHK_VER[i] = new QCheckBox(QString::fromLatin1(kChannelNames[i]), this);
        CHK_VER[i]->setObjectName(QStringLiteral("CHK_VER_%1").arg(i));
        CHK_VER[i]->setChecked(true);
        top->addWidget(CHK_VER[i]);
        connect(CHK_VER[i], &QCheckBox::toggled, this, [this] { applyLook(); });
    }
    top->addStretch();
    BT_VerTodo = new QPushButton(QStringLiteral("Ver todo"), this);
    BT_VerTodo->setObjectName(QStringLiteral("BT_VerTodo"));
    BT_GuardarImagen = new QPushButton(QStringLiteral("Guardar imagen"), this);
    BT_GuardarImagen->setObjectName(QStringLiteral("BT_GuardarImagen"));
    BT_Imprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    BT_Imprimir->setObjectName(QStringLiteral("BT_Imprimir"));
    for (QPushButton* b : {BT_VerTodo, BT_GuardarImagen, BT_Imprimir}) top->addWidget(b);

    PIC_TRAZADO = new RecordingCanvas(this);
    PIC_TRAZADO->setObjectName(QStringLiteral("PIC_TRAZADO"));
    Lbl_Lectura = new QLabel(this);
    Lbl_Lectura->setObjectName(QStringLiteral("Lbl_Lectura"));
    Lbl_Estado = new QLabel(this);
    Lbl_Estado->setObjectName(QStringLiteral("Lbl_Estado"));
    Lbl_Estado->setWordWrap(true);
    Lbl_Estado->setStyleSheet(QStringLiteral("color: #a00000"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(PIC_TRAZADO, 1);
    layout->addWidget(Lbl_Lectura);
    layout->addWidget(Lbl_Estado);
    resize(900, 560);

    connect(BT_VerTodo, &QPushButton::clicked, this, [this] { showAll(); });
    connect(BT_GuardarImagen, &QPushButton::clicked, this, [this] { saveImage(); });
    connect(BT_Imprimir, &QPushButton::clicked, this, [this] { print(); });
    connect(PIC_TRAZADO, &RecordingCanvas::viewChanged, this, [this] {
        if (!settingView_) following_ = false;
    });
    connect(PIC_TRAZADO, &RecordingCanvas::pointerAt, this,
            [this](double t, double) { Lbl_Lectura->setText(readoutAt(t)); });
    connect(PIC_TRAZADO, &RecordingCanvas::pointerLeft, Lbl_Lectura, &QLabel::clear);

    Tmr_Seguir = new QTimer(this);
    Tmr_Seguir->setObjectName(QStringLiteral("Tmr_Seguir"));
    Tmr_Seguir->setInterval(kFollowMs);
    connect(Tmr_Seguir, &QTimer::timeout, this, [this] { refresh(); });

    PIC_TRAZADO->setData(&file_.data(), &summary_);
    applyLook();
    refresh();
    showAll();
    Tmr_Seguir->start();
}

void FrmVisor::applyLook() {
    const VarGlob& g = session_.g;
    CanvasLook look;
    look.colours = g.Colores;
    look.units = g.UnitsText;
    // The output column holds codes; shown in units as the plot shows it.
    look.outputFactor = outputRowUnits(g.ScaleFactor, 1000, moduleKindOf(g.ModuleType)) / 1000.0f;
    for (size_t i = 0; i < 5; ++i) {
        look.visible[i] = CHK_VER[i]->isChecked();
        // Each box in its channel's colours, as the main window's value labels.
        CHK_VER[i]->setStyleSheet(
            QStringLiteral("QCheckBox { background-color: %1; color: %2; }")
                .arg(toQColor(g.Colores[i][1]).name(), toQColor(g.Colores[i][2]).name()));
    }
    PIC_TRAZADO->setLook(look);
}

void FrmVisor::setViewQuietly(const ViewRange& view) {
    settingView_ = true;
    PIC_TRAZADO->setView(view);
    settingView_ = false;
}

void FrmVisor::refresh() {
    const bool changed = file_.update();
    if (file_.restarts() != restarts_) {
        restarts_ = file_.restarts();
        summary_.clear();
    }
    if (changed || summary_.size() != file_.data().size()) {
        summary_.update(file_.data());
        if (following_) {
            showAll();
        } else {
            PIC_TRAZADO->update();
        }
    }
    Lbl_Estado->setText(file_.problem());
}

void FrmVisor::showAll() {
    const RecordingData& d = file_.data();
    const VarGlob& g = session_.g;
    double low = INFINITY, high = -INFINITY;
    const CanvasLook& look = PIC_TRAZADO->look();
    for (int c = 0; c < 5; ++c) {
        float l = 0, h = 0;
        if (!look.visible[size_t(c)] || !summary_.range(c, 0, summary_.size(), l, h)) continue;
        const double k = c == 4 ? look.outputFactor : 1.0;
        low = std::min({low, l * k, h * k});
        high = std::max({high, l * k, h * k});
    }
    const double first = d.size() ? d.seconds.front() : 0.0;
    const double last = d.size() ? d.seconds.back() : 0.0;
    setViewQuietly(wholeView(first, last, g.PlotLower, g.PlotUpper, low, high));
    following_ = true;
}

QString FrmVisor::readoutAt(double t) const {
    const RecordingData& d = file_.data();
    if (d.size() == 0) return QString();
    const size_t i = nearestSample(d, t);
    const float factor = PIC_TRAZADO->look().outputFactor;
    QString text = QStringLiteral("Tiempo: %1 seg.").arg(FormatAxisValue(d.seconds[i]));
    for (size_t c = 0; c < 5; ++c) {
        const double v = c == 4 ? double(d.values[c][i]) * factor : double(d.values[c][i]);
        text += QStringLiteral("   %1: %2")
                    .arg(QString::fromLatin1(kChannelNames[c]), FormatAxisValue(v));
    }
    return text;
}

QImage FrmVisor::picture() const {
    return PIC_TRAZADO->grab().toImage();
}

void FrmVisor::saveImage() {
    askAndSaveImage(this, picture());
}

void FrmVisor::print() {
    const std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (!printer) {
        prompts::message(this, QMessageBox::Information, appTitle(),
                         QStringLiteral("No hay ninguna impresora instalada."));
        return;
    }
    if (!printImage(picture(), *printer)) {
        prompts::message(this, QMessageBox::Warning, appTitle(),
                         QStringLiteral("No se pudo imprimir el registro."));
    }
}
