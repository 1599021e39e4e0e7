// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_definir_ondas.h"

#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <array>

#include "common/prompts.h"
#include "common/title.h"
#include "core/session.h"
#include "core/var_glob.h"
#include "generator/wave_player.h"
#include "generator/wave_tables.h"
#include "widgets/focus_checks.h"
#include "widgets/place.h"
#include "windows/generator_verbs.h"

namespace {

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

struct FieldDesign {
    const char* name;
    const char* label;
    const char* labelName;
};

constexpr FieldDesign kFields[kWaveFields] = {
    {"TXT_AMPLITUD_ONDA", "Amplitud (mV)", "Lbl_text_Ampl"},
    {"TXT_OFFSET_ONDA", "Offset (mV)", "Lbl_text_Offset"},
    {"TXT_PERIODO_ONDA", "Periodo (ms)", "lbl_text_Per"},
    {"TXT_AMPLITUD_ESTIMULOS", "Amplitud (mV)", "lbl_txt_amplitud_estimulos"},
    {"TXT_OFFSET_ESTIMULOS", "Offset (mV)", "lbl_txt_offset_estimulos"},
    {"TXT_PERIODO_ESTIMULOS", "Duración (ms)", "lbl_txt_periodo_estimulos"},
    {"TXT_AMPLITUD_USUARIO", "Amplitud (mV)", "lbl_ampl_usr"},
    {"TXT_OFFSET_USUARIO", "Offset (mV)", "lbl_off_usr"},
    {"TXT_PERIODO_USUARIO", "Periodo (ms)", "lbl_per_usr"},
};

}  // namespace

FrmDefinirOndas::FrmDefinirOndas(Session& session, GeneratorVerbs& verbs, QWidget* parent)
    : QDialog(parent), g_(session.g), player_(session.wavePlayer()), verbs_(verbs) {
    setObjectName(QStringLiteral("FRM_DEFINIR_ONDAS"));
    setWindowTitle(QStringLiteral("Seleccionar Señal"));
    build();
    // Loading sets the default texts.
    setDefaults();
}

void FrmDefinirOndas::build() {
    setFixedSize(twipsToPixelsX(5760), twipsToPixelsY(2640));
    const auto frame = [this](const char* name, const char* caption) {
        auto* f = named(new QGroupBox(QString::fromUtf8(caption), this), QString::fromLatin1(name));
        return place(f, 120, 120, 5520, 2400);
    };
    MRC_ONDAS = frame("MRC_ONDAS", "Periódicas");
    MRC_ESTIMULOS = frame("MRC_ESTIMULOS", "Estímulo");
    MRC_USUARIO = frame("MRC_USUARIO", "Definir Señal");
    const std::array<QGroupBox*, 3> frames{MRC_ONDAS, MRC_ESTIMULOS, MRC_USUARIO};

    for (int i = 0; i < kWaveFields; ++i) {
        QGroupBox* f = frames[i / 3];
        const double top = 360 + (i % 3) * 480;
        labels[i] = place(named(new QLabel(QString::fromUtf8(kFields[i].label), f),
                                QString::fromLatin1(kFields[i].labelName)),
                          120, top, 1500, 300);
        fields[i] = place(named(new QLineEdit(f), QString::fromLatin1(kFields[i].name)), 1680,
                          top - 30, 1200, 330);
        fields[i]->installEventFilter(this);
        FocusChecks::of(this).watch(fields[i],
                                    [this, i] { return validate(static_cast<WaveField>(i)); });
    }
    TXT_AMPLITUD_ONDA = fields[0];
    TXT_OFFSET_ONDA = fields[1];
    TXT_PERIODO_ONDA = fields[2];
    TXT_AMPLITUD_ESTIMULOS = fields[3];
    TXT_OFFSET_ESTIMULOS = fields[4];
    TXT_PERIODO_ESTIMULOS = fields[5];
    TXT_AMPLITUD_USUARIO = fields[6];
    TXT_OFFSET_USUARIO = fields[7];
    TXT_PERIODO_USUARIO = fields[8];

    const auto button = [](QGroupBox* f, const QString& name, const char* caption, int slot) {
        auto* b = named(new QPushButton(QString::fromUtf8(caption), f), name);
        b->setAutoDefault(false);
        return place(b, 3120, 300 + slot * 480, 2220, 400);
    };
    static const char* const onda[4] = {"S&enoidal", "&Cuadrada", "&Triangular", "&Salir"};
    static const char* const estimulos[4] = {"&Impulso", "&Escalón", "&Rampa", "&Salir"};
    static const char* const usuario[3] = {"&Salir", "&Aceptar", "&Definir grafica.."};
    for (int i = 0; i < 4; ++i) {
        CMD_ONDA[i] = button(MRC_ONDAS, QStringLiteral("CMD_ONDA_%1").arg(i), onda[i], i);
        connect(CMD_ONDA[i], &QPushButton::clicked, this, [this, i] { onOnda(i); });
        CMD_ESTIMULOS[i] =
            button(MRC_ESTIMULOS, QStringLiteral("CMD_ESTIMULOS_%1").arg(i), estimulos[i], i);
        connect(CMD_ESTIMULOS[i], &QPushButton::clicked, this, [this, i] { onEstimulos(i); });
    }
    for (int i = 0; i < 3; ++i) {
        CMD_USUARIO[i] =
            button(MRC_USUARIO, QStringLiteral("CMD_USUARIO_%1").arg(i), usuario[i], i);
        connect(CMD_USUARIO[i], &QPushButton::clicked, this, [this, i] { onUsuario(i); });
    }
}

void FrmDefinirOndas::setDefaults() {
    const auto texts = defaultWaveTexts(moduleKindOf(g_.ModuleType));
    for (int i = 0; i < kWaveFields; ++i) fields[i]->setText(texts[i]);
    textsMaxCode_ = waveMaxCode(moduleKindOf(g_.ModuleType));
}

void FrmDefinirOndas::showFrame(WaveFrame frame) {
    MRC_ONDAS->setVisible(frame == WaveFrame::Periodic);
    MRC_ESTIMULOS->setVisible(frame == WaveFrame::Stimulus);
    MRC_USUARIO->setVisible(frame == WaveFrame::User);
}

void FrmDefinirOndas::activate() {
    MaxCode = waveMaxCode(moduleKindOf(g_.ModuleType));
    // Kept here rather than in the plot's upper limit, which the next
    // recording still needs.
    fullScale_ = waveFullScale(moduleKindOf(g_.ModuleType));
    // Texts made for another module would be "corrected" into codes the
    // output cannot take.
    if (MaxCode != textsMaxCode_) setDefaults();
}

void FrmDefinirOndas::setUserFigures(const QString& amplitude, const QString& offset,
                                     const QString& period, int16_t madeFor) {
    // Judged by the largest code in force, and not replaced by the defaults
    // when the dialog is shown.
    activate();
    constexpr std::array kUser{WaveField::AmplitudUsuario, WaveField::OffsetUsuario,
                               WaveField::PeriodoUsuario};
    const std::array figures{amplitude, offset, period};
    std::array<QString, kWaveFields> t = texts();
    for (size_t k = 0; k < kUser.size(); ++k) t[static_cast<int>(kUser[k])] = figures[k];
    const bool valid = std::none_of(kUser.begin(), kUser.end(), [&](WaveField f) {
        return checkWaveField(f, t, MaxCode).has_value();
    });
    if (!valid && madeFor != 0 && madeFor != MaxCode) {
        // A drawing kept from another module: an offset beyond this
        // maximum can satisfy no amplitude, and the fields would correct
        // each other for ever.
        const auto defaults = defaultWaveTexts(moduleKindOf(g_.ModuleType));
        for (const WaveField f : kUser) t[static_cast<int>(f)] = defaults[static_cast<int>(f)];
    }
    for (const WaveField f : kUser) fields[static_cast<int>(f)]->setText(t[static_cast<int>(f)]);
}

bool FrmDefinirOndas::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) activate();
    return QDialog::event(event);
}

void FrmDefinirOndas::closeEvent(QCloseEvent* event) {
    // Closing by the frame discards it: the next showing starts from the
    // defaults. The buttons only hide it.
    emit discarded();
    QDialog::closeEvent(event);
}

void FrmDefinirOndas::showEvent(QShowEvent* event) {
    activate();
    QDialog::showEvent(event);
}

std::array<QString, kWaveFields> FrmDefinirOndas::texts() const {
    std::array<QString, kWaveFields> t;
    for (int i = 0; i < kWaveFields; ++i) t[i] = fields[i]->text();
    return t;
}

int16_t FrmDefinirOndas::value(WaveField field) const {
    return readWaveValue(fields[static_cast<int>(field)]->text());
}

bool FrmDefinirOndas::validate(WaveField field) {
    const auto fix = checkWaveField(field, texts(), MaxCode);
    if (!fix) return true;
    prompts::message(this, QMessageBox::NoIcon, appTitle(), fix->message);
    fields[static_cast<int>(field)]->setText(QString::number(fix->corrected));
    return false;
}

bool FrmDefinirOndas::eventFilter(QObject* watched, QEvent* event) {
    int i = 0;
    while (i < kWaveFields && fields[i] != watched) ++i;
    if (i == kWaveFields) return QDialog::eventFilter(watched, event);
    QLineEdit* box = fields[i];
    const auto field = static_cast<WaveField>(i);
    switch (event->type()) {
        case QEvent::FocusIn:
            // After the mouse press that gave the focus, which would undo it.
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter) break;
            if (validate(field)) {
                fields[static_cast<int>(nextField(field))]->setFocus(Qt::TabFocusReason);
            } else {
                box->selectAll();
            }
            return true;
        }
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmDefinirOndas::refuse(const QString& message) {
    prompts::message(this, QMessageBox::NoIcon, appTitle(), message);
    player_.setAvailable(g_.WaveLength > 0);
}

void FrmDefinirOndas::startPlaying(const QString& amplitude, const QString& offset,
                                   const QString& period) {
    player_.describe(amplitude, offset, period);
    player_.requestPreview(fullScale_);
    player_.setAvailable(true);
    player_.setPlaying(true);
}

void FrmDefinirOndas::onOnda(int index) {
    if (index < 0 || index > 3) return;
    player_.clearPassTime();
    if (index == 3) {
        hide();
        return;
    }
    player_.setAvailable(true);
    player_.setPlaying(false);
    const int16_t P = value(WaveField::PeriodoOnda);
    const int16_t A = value(WaveField::AmplitudOnda);
    const int16_t O = value(WaveField::OffsetOnda);
    const TableFault fault = GeneratePeriodic(g_, index, P, A, O);
    if (fault != TableFault::None) return refuse(tableFaultMessage(fault));
    startPlaying(QString::number(A), QString::number(O), QString::number(P));
}

void FrmDefinirOndas::onEstimulos(int index) {
    if (index < 0 || index > 3) return;
    if (index == 3) {
        hide();
        return;
    }
    player_.setAvailable(true);
    player_.setPlaying(false);
    const int16_t P = value(WaveField::PeriodoEstimulos);
    const int16_t A = value(WaveField::AmplitudEstimulos);
    const int16_t O = value(WaveField::OffsetEstimulos);
    const TableFault fault = GenerateStimulus(g_, index, P, A, O);
    if (fault != TableFault::None) return refuse(tableFaultMessage(fault));
    // Impulse and step last as long as they last; only the ramp has a period.
    startPlaying(QString::number(A), QString::number(O),
                 index == 2 ? QString::number(P) : QString());
}

void FrmDefinirOndas::onUsuario(int index) {
    if (index < 0 || index > 2) return;
    if (index == 0) {
        hide();
        return;
    }
    if (index == 1) {
        player_.setPlaying(false);
        player_.setAvailable(false);
        const DrawnFigures drawn = verbs_.drawnFigures();
        const UserSignalResult r = ApplyUserSignal(
            g_,
            {TXT_AMPLITUD_USUARIO->text(), TXT_OFFSET_USUARIO->text(), TXT_PERIODO_USUARIO->text(),
             drawn.amplitude, drawn.offset, drawn.period},
            MaxCode);
        if (r.fault != TableFault::None) return refuse(tableFaultMessage(r.fault));
        if (r.stretched) prompts::beep();
        startPlaying(TXT_AMPLITUD_USUARIO->text(), TXT_OFFSET_USUARIO->text(),
                     TXT_PERIODO_USUARIO->text());
        return;
    }
    player_.setPlaying(false);
    const std::optional<DrawnFigures> drawn = verbs_.editDrawnSignal();
    if (g_.WaveLength != 0 && drawn) {
        setUserFigures(drawn->amplitude, drawn->offset, drawn->period, drawn->maxCode);
        startPlaying(drawn->amplitude, drawn->offset, drawn->period);
    } else if (g_.WaveLength == 0) {
        player_.ClearWaveform();
        hide();
    }
}
