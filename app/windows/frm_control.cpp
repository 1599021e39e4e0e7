// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_control.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPalette>
#include <QStatusBar>

#include "common/title.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "generator/wave_player.h"
#include "widgets/place.h"
#include "widgets/twips.h"
#include "windows/colour_entry.h"
#include "windows/window_verbs.h"

namespace {

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption) {
    return named(new QLabel(caption, parent), name);
}

// A label with the fixed single border of the designed form.
QLabel* valueLabel(QWidget* parent, const QString& name) {
    auto* l = label(parent, name, QString());
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// Text boxes of the form: centred, coloured text on the highlight colour.
QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text,
                   const QColor& textColour) {
    auto* t = named(new QLineEdit(text, parent), name);
    t->setAlignment(Qt::AlignCenter);
    QPalette pal = t->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Highlight));
    pal.setColor(QPalette::Text, textColour);
    t->setPalette(pal);
    return t;
}

QScrollBar* scrollBar(QWidget* parent, const QString& name, int smallChange, int largeChange) {
    auto* s = named(new QScrollBar(Qt::Horizontal, parent), name);
    // The designed bars start at 0 within 0..32767; start-up gives the ranges.
    s->setRange(0, 32767);
    s->setValue(0);
    s->setSingleStep(smallChange);
    s->setPageStep(largeChange);
    return s;
}

}  // namespace

FrmControl::FrmControl(Session& session, WindowVerbs& windows, QWidget* parent)
    : QMainWindow(parent), session_(session), windows_(windows) {
    setObjectName(QStringLiteral("FRM_CONTROL"));
    setWindowTitle(appTitle());

    auto* central = named(new QWidget(this), QStringLiteral("FRM_CONTROL_area"));
    setCentralWidget(central);
    buildSampling(central);
    buildChannels(central);
    buildAnalogOutput(central);
    buildGenerator(central);

    BT_Configurar =
        place(named(new QPushButton(QStringLiteral("&Modificar Configuración"), central),
                    QStringLiteral("BT_Configurar")),
              120, 5400, 2880, 435);

    // The sampling timer belongs to the sampling engine.
    TMR_ANALOGICO = session_.samplingTimer();
    // The generator's playback timer belongs to its engine.
    Tmr_onda = session_.wavePlayer().timer();

    buildMenus();
    connectHandlers();
    connectSettings();
    connectRecording();
    connectAnalogOutput();
    connectGenerator();
    connectLog();

    // The status bar, where a failed data file write is told, is there from
    // the start: created at the first failure, it would grow the window.
    statusBar()->setObjectName(QStringLiteral("FRM_CONTROL_status"));
    Lbl_acceso = named(new QLabel(statusBar()), QStringLiteral("Lbl_acceso"));
    statusBar()->addPermanentWidget(Lbl_acceso);
    central->setMinimumSize(twipsToPixelsX(10920), twipsToPixelsY(6000));
    resize(central->minimumSize().width(), central->minimumSize().height() +
                                               menuBar()->sizeHint().height() +
                                               statusBar()->sizeHint().height());
}

FrmControl::~FrmControl() = default;

void FrmControl::buildSampling(QWidget* central) {
    auto* f = MRC_MUESTREO =
        place(named(new QGroupBox(QStringLiteral("Muestreo Analógico"), central),
                    QStringLiteral("MRC_MUESTREO")),
              120, 60, 5760, 3000);

    Lbl_text_muestras =
        place(label(f, QStringLiteral("Lbl_text_muestras"), QStringLiteral("Número de muestras")),
              120, 300, 2600, 255);
    Hsr_muestras = place(scrollBar(f, QStringLiteral("Hsr_muestras"), 10, 50), 120, 570, 2520, 255);
    Txt_Muestras =
        place(textBox(f, QStringLiteral("Txt_Muestras"), QStringLiteral("100"), Qt::yellow), 2760,
              530, 975, 330);

    Lbl_text_Periodo =
        place(label(f, QStringLiteral("Lbl_text_Periodo"), QStringLiteral("Período muestreo (ms)")),
              120, 960, 2400, 255);
    Hsr_Periodo = place(scrollBar(f, QStringLiteral("Hsr_Periodo"), 50, 200), 120, 1230, 2520, 255);
    Txt_Periodo =
        place(textBox(f, QStringLiteral("Txt_Periodo"), QStringLiteral("100"), Qt::yellow), 2760,
              1190, 975, 330);

    OPT_Una =
        place(named(new QRadioButton(QStringLiteral("Una vez"), f), QStringLiteral("OPT_Una")),
              3900, 560, 1740, 285);
    Option1 =
        place(named(new QRadioButton(QStringLiteral("Continuo"), f), QStringLiteral("Option1")),
              3900, 1220, 1740, 285);
    Option1->setChecked(true);

    cmd_inic = place(
        named(new QPushButton(QStringLiteral("&Iniciar Registro"), f), QStringLiteral("cmd_inic")),
        120, 1680, 2520, 435);

    CHK_Guardar =
        place(named(new QCheckBox(QStringLiteral("Grabar en:"), f), QStringLiteral("CHK_Guardar")),
              120, 2220, 1500, 285);
    CHK_Guardar->setChecked(true);
    Lbl_archivo = place(valueLabel(f, QStringLiteral("Lbl_archivo")), 1680, 2210, 3960, 300);
    Lbl_archivo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Lbl_text_contador =
        place(label(f, QStringLiteral("Lbl_text_contador"), QStringLiteral("Muestra actual")), 120,
              2620, 1500, 255);
    Lbl_Contamuestras =
        place(label(f, QStringLiteral("Lbl_Contamuestras"), QString()), 1620, 2620, 900, 255);
    Lbl_text_preal =
        place(label(f, QStringLiteral("Lbl_text_preal"), QStringLiteral("Periodo  real (ms)")),
              2640, 2620, 1860, 255);
    lbl_Preal = place(label(f, QStringLiteral("lbl_Preal"), QString()), 4500, 2620, 1140, 255);
}

void FrmControl::buildChannels(QWidget* central) {
    auto* f = MRC_ANALOGICO = place(
        named(new QGroupBox(QStringLiteral("Analógico"), central), QStringLiteral("MRC_ANALOGICO")),
        120, 3180, 5760, 2100);
    static const char* const captions[5] = {"CH 0", "CH 1", "CH 2", "CH 3", "D/A"};
    for (int i = 0; i < 5; ++i) {
        const double top = 300 + i * 345;
        CHK_VIS[i] = place(named(new QCheckBox(QString::fromLatin1(captions[i]), f),
                                 QStringLiteral("CHK_VIS_%1").arg(i)),
                           120, top, 1000, 285);
        CHK_VIS[i]->setChecked(true);
        Lbl_Vis[i] =
            place(valueLabel(f, QStringLiteral("Lbl_Vis_%1").arg(i)), 1200, top, 2400, 300);
        LBUnidades[i] =
            place(label(f, QStringLiteral("LBUnidades_%1").arg(i), QStringLiteral(" V")), 3720, top,
                  1500, 285);
    }
}

void FrmControl::buildAnalogOutput(QWidget* central) {
    auto* f = MRC_Salida_Analogica =
        place(named(new QGroupBox(QStringLiteral("Salida Analógica D/A"), central),
                    QStringLiteral("MRC_Salida_Analogica")),
              6000, 60, 4800, 1560);
    HSr_salanal = place(scrollBar(f, QStringLiteral("HSr_salanal"), 1, 5), 120, 360, 3120, 255);
    HSr_salanal->setRange(0, 255);
    Txt_salanal =
        place(textBox(f, QStringLiteral("Txt_salanal"), QStringLiteral("0"), QColor(0, 255, 0)),
              3360, 320, 1320, 330);
    LB_MODO =
        place(label(f, QStringLiteral("LB_MODO"), QStringLiteral("Modo 0")), 120, 840, 2000, 285);
    IMG_Modo = place(label(f, QStringLiteral("IMG_Modo"), QString()), 2160, 720, 2520, 780);
    IMG_Modo->setAlignment(Qt::AlignCenter);
}

void FrmControl::buildGenerator(QWidget* central) {
    auto* ondas = MRC_ONDAS =
        place(named(new QGroupBox(QStringLiteral("Ondas"), central), QStringLiteral("MRC_ONDAS")),
              6000, 1680, 4800, 900);
    static const char* const genCaptions[3] = {"&Periódica", "&Estímulo", "&Usuario"};
    for (int i = 0; i < 3; ++i) {
        cmd_gen[i] = place(named(new QPushButton(QString::fromUtf8(genCaptions[i]), ondas),
                                 QStringLiteral("cmd_gen_%1").arg(i)),
                           120 + i * 1540, 330, 1460, 435);
    }

    auto* f = MRC_GENERADOR = place(
        named(new QGroupBox(QStringLiteral("Generador"), central), QStringLiteral("MRC_GENERADOR")),
        6000, 2640, 4800, 3195);
    Chk_onda =
        place(named(new QCheckBox(QStringLiteral("&Generar"), f), QStringLiteral("Chk_onda")), 120,
              330, 1500, 285);
    CMD_borrar_onda = place(
        named(new QPushButton(QStringLiteral("&Borrar"), f), QStringLiteral("CMD_borrar_onda")),
        3360, 270, 1320, 435);
    pic_onda =
        place(named(new DrawingSurface(f), QStringLiteral("pic_onda")), 120, 780, 4560, 1440);

    const auto row = [f](QLabel*& caption, const char* captionName, const char* text,
                         QLabel*& value, const char* valueName, double left, double top) {
        caption = place(label(f, QString::fromLatin1(captionName), QString::fromUtf8(text)), left,
                        top, 1200, 255);
        value =
            place(label(f, QString::fromLatin1(valueName), QString()), left + 1200, top, 1140, 255);
    };
    row(lbl_txt_preal_onda, "lbl_txt_preal_onda", "Tiempo real", lbl_per_real_onda,
        "lbl_per_real_onda", 120, 2340);
    row(Lbl_txt_ampl, "Lbl_txt_ampl", "Amplitud", LBL_AMPLITUD_ONDA, "LBL_AMPLITUD_ONDA", 2460,
        2340);
    row(lbl_txt_offset, "lbl_txt_offset", "Offset", LBL_OFFSET_ONDA, "LBL_OFFSET_ONDA", 120, 2700);
    row(lbl_txt_per, "lbl_txt_per", "Periodo", LBL_PERIODO_ONDA, "LBL_PERIODO_ONDA", 2460, 2700);
}

void FrmControl::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto item = [](QAction* action, const QString& name) {
        action->setObjectName(name);
        return action;
    };

    MN_Ficheros_menu =
        named(bar->addMenu(QStringLiteral("&Ficheros")), QStringLiteral("MN_Ficheros"));
    MN_Ficheros = item(MN_Ficheros_menu->menuAction(), QStringLiteral("MN_Ficheros"));
    MN_Guardar =
        item(MN_Ficheros_menu->addAction(QStringLiteral("&Guardar")), QStringLiteral("MN_Guardar"));
    MN_AbrirRegistro = item(MN_Ficheros_menu->addAction(QStringLiteral("Abrir registro…")),
                            QStringLiteral("MN_AbrirRegistro"));
    MN_Ficheros_menu->addSeparator();
    MN_GuardarTodos =
        item(MN_Ficheros_menu->addAction(QStringLiteral("Guardar todos los barridos")),
             QStringLiteral("MN_GuardarTodos"));
    MN_CortarTamano = item(MN_Ficheros_menu->addAction(QStringLiteral("Nuevo fichero cada 100 MB")),
                           QStringLiteral("MN_CortarTamano"));
    MN_CortarMedianoche =
        item(MN_Ficheros_menu->addAction(QStringLiteral("Nuevo fichero a medianoche")),
             QStringLiteral("MN_CortarMedianoche"));
    MN_Ficheros_menu->addSeparator();
    MN_Fin = item(MN_Ficheros_menu->addAction(QStringLiteral("&Salir")), QStringLiteral("MN_Fin"));

    MN_Colores = item(bar->addAction(QStringLiteral("&Colores")), QStringLiteral("MN_Colores"));

    MN_Configuracion_menu =
        named(bar->addMenu(QStringLiteral("Confi&Guración")), QStringLiteral("MN_Configuracion"));
    MN_Configuracion =
        item(MN_Configuracion_menu->menuAction(), QStringLiteral("MN_Configuracion"));
    ModificarConfiguracion = item(MN_Configuracion_menu->addAction(QStringLiteral("&Modificar")),
                                  QStringLiteral("ModificarConfiguracion"));
    MN_GrabarConfiguracion = item(MN_Configuracion_menu->addAction(QStringLiteral("&Grabar")),
                                  QStringLiteral("MN_GrabarConfiguracion"));
    MN_LEER =
        item(MN_Configuracion_menu->addAction(QStringLiteral("&Leer")), QStringLiteral("MN_LEER"));

    MN_AYUDA = item(bar->addAction(QStringLiteral("&Ayuda")), QStringLiteral("MN_AYUDA"));
}

void FrmControl::connectHandlers() {
    // The scroll bars own the values; the text boxes echo them.
    connect(Hsr_muestras, &QScrollBar::valueChanged, this, [this](int value) {
        session_.settings().setSampling(static_cast<int16_t>(value), session_.g.PeriodMs);
        Txt_Muestras->setText(QString::number(session_.g.RequestedSamples));
    });
    // The period is taken when the thumb is released, not while it moves.
    Hsr_Periodo->setTracking(false);
    connect(Hsr_Periodo, &QScrollBar::valueChanged, this, [this](int value) {
        session_.settings().setSampling(session_.g.RequestedSamples, static_cast<int16_t>(value));
        Txt_Periodo->setText(QString::number(session_.g.PeriodMs));
    });

    connect(cmd_inic, &QPushButton::clicked, this, [this] { StartStopRecording(); });
    connect(CMD_borrar_onda, &QPushButton::clicked, this, [this] { ClearWaveform(); });
    connect(BT_Configurar, &QPushButton::clicked, this, [this] { onBtConfigurar(); });

    connect(MN_Fin, &QAction::triggered, this, [this] { EndApplication(); });
    connect(ModificarConfiguracion, &QAction::triggered, this,
            [this] { onModificarConfiguracion(); });
    connect(MN_GrabarConfiguracion, &QAction::triggered, this, [this] { onGrabarConfiguracion(); });
    connect(MN_LEER, &QAction::triggered, this, [this] { onLeer(); });
    connect(MN_AYUDA, &QAction::triggered, this, [this] { onAyuda(); });
    connect(MN_Colores, &QAction::triggered, this,
            [this] { windows_.editColours(ColourEntry::Menu); });
}
