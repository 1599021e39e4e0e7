// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/frm_configuracion.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "common/numbers.h"
#include "common/prompts.h"
#include "common/title.h"
#include "config/apply_configuration.h"
#include "config/config_file.h"
#include "config/config_file_format.h"
#include "config/module_setup.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/mode_pictures.h"
#include "widgets/combo_choices.h"
#include "widgets/focus_checks.h"
#include "widgets/options.h"
#include "widgets/place.h"
#include "windows/colour_entry.h"
#include "windows/window_verbs.h"

namespace {

QPushButton* button(QWidget* parent, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    // Enter belongs to the address box and the text boxes, not to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// A scale is taken only when it is above 0 and the plot limits it gives fit
// a single.
bool scaleAcceptable(double scale) {
    const auto single = config_format::toSingle(scale);
    return scale > 0 && single && config_format::toSingle(double(*single) * 4.095);
}

}  // namespace

FrmConfiguracion::FrmConfiguracion(Session& session, WindowVerbs& windows, QWidget* parent)
    : QDialog(parent), session_(session), windows_(windows) {
    setObjectName(QStringLiteral("FRM_CONFIGURACION"));
    setWindowTitle(QStringLiteral("Configuración"));
    buildControls();
    connectHandlers();
    connectSettings();
}

void FrmConfiguracion::buildControls() {
    setFixedSize(twipsToPixelsX(5640), twipsToPixelsY(3420));

    Frame4 = place(new QGroupBox(QStringLiteral("Módulo"), this), QStringLiteral("Frame4"), 120, 60,
                   1500, 1500);
    for (size_t i = 0; i < OPT_TIPO.size(); ++i) {
        OPT_TIPO[i] =
            place(new QRadioButton(moduleTypeName(int(i)), Frame4),
                  QStringLiteral("OPT_TIPO_%1").arg(i), 180, 300 + 285 * double(i), 1200, 255);
    }

    Frame3 = place(new QGroupBox(QStringLiteral("Puerto"), this), QStringLiteral("Frame3"), 1740,
                   60, 1500, 1140);
    const std::array<const char*, 3> puertos{"&378 H", "&278 H", "3&BC H"};
    for (size_t i = 0; i < OPT_PUERTO.size(); ++i) {
        OPT_PUERTO[i] =
            place(new QRadioButton(QString::fromLatin1(puertos[i]), Frame3),
                  QStringLiteral("OPT_PUERTO_%1").arg(i), 180, 300 + 285 * double(i), 1200, 255);
    }

    Lbl_Pastilla_txt = place(new QLabel(QStringLiteral("Dirección"), this),
                             QStringLiteral("Lbl_Pastilla_txt"), 1740, 1290, 900, 255);
    cmb_pastilla = place(new QComboBox(this), QStringLiteral("cmb_pastilla"), 2640, 1245, 600, 315);
    cmb_pastilla->setEditable(true);
    cmb_pastilla->setInsertPolicy(QComboBox::NoInsert);
    for (int a = 0; a <= 7; ++a) cmb_pastilla->addItem(QString::number(a));

    Frame2 = place(new QGroupBox(QStringLiteral("Modo Entradas"), this), QStringLiteral("Frame2"),
                   3360, 60, 2160, 2340);
    PNL_MODOS = place(new QFrame(Frame2), QStringLiteral("PNL_MODOS"), 90, 270, 1980, 1980);
    for (size_t i = 0; i < BT_NUEVO_MODO.size(); ++i) {
        const double left = 60 + 960 * double(i % 2);
        const double top = 60 + 960 * double(i / 2);
        BT_NUEVO_MODO[i] = place(button(PNL_MODOS, QString()),
                                 QStringLiteral("BT_NUEVO_MODO_%1").arg(i), left, top, 900, 900);
        const QPixmap picture = modePicture(int(i));
        BT_NUEVO_MODO[i]->setIcon(QIcon(picture));
        BT_NUEVO_MODO[i]->setIconSize(picture.size());
    }

    Label1 = place(new QLabel(QStringLiteral("Escala"), this), QStringLiteral("Label1"), 180, 1740,
                   1000, 255);
    TxtEscala = place(new QLineEdit(this), QStringLiteral("TxtEscala"), 1200, 1695, 2040, 315);
    Label2 = place(new QLabel(QStringLiteral("Unidades"), this), QStringLiteral("Label2"), 180,
                   2160, 1000, 255);
    TxtUnidades = place(new QLineEdit(this), QStringLiteral("TxtUnidades"), 1200, 2115, 2040, 315);

    BTColores = place(button(this, QStringLiteral("Cam&biar Colores")), QStringLiteral("BTColores"),
                      180, 2760, 1680, 435);
    BTGuardar = place(button(this, QStringLiteral("&Guardar")), QStringLiteral("BTGuardar"), 1980,
                      2760, 1620, 435);
    BT_Cerrar = place(button(this, QStringLiteral("&Cerrar")), QStringLiteral("BT_Cerrar"), 3720,
                      2760, 1680, 435);
}

void FrmConfiguracion::connectHandlers() {
    // An option's click runs whenever it becomes the selected one, also from
    // code; selecting the option already selected runs nothing.
    for (size_t i = 0; i < OPT_TIPO.size(); ++i) {
        connect(OPT_TIPO[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (showing_) return;
            session_.settings().setTypeOption(static_cast<int16_t>(selectedTipo()));
            if (on) OPT_TIPO_Click(int(i));
        });
    }
    for (size_t i = 0; i < OPT_PUERTO.size(); ++i) {
        connect(OPT_PUERTO[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) OPT_PUERTO_Click(int(i));
        });
    }
    for (size_t i = 0; i < BT_NUEVO_MODO.size(); ++i) {
        connect(BT_NUEVO_MODO[i], &QPushButton::clicked, this,
                [this, i] { BT_NUEVO_MODO_Click(int(i)); });
    }
    // The address acts on a choice from the list and on Enter only.
    auto* addressChoices = new ComboChoices(cmb_pastilla);
    connect(addressChoices, &ComboChoices::chosen, this, [this] { cmb_pastilla_Click(); });
    connect(addressChoices, &ComboChoices::entered, this, [this] { cmb_pastilla_Enter(); });
    FocusChecks::of(this).watch(TxtEscala, [this] { return TxtEscala_LostFocus(); });
    connect(BT_Cerrar, &QPushButton::clicked, this, [this] { BT_Cerrar_Click(); });
    connect(BTGuardar, &QPushButton::clicked, this, [this] { BTGuardar_Click(); });
    connect(BTColores, &QPushButton::clicked, this,
            [this] { windows_.editColours(ColourEntry::ConfigurationDialog); });
}

void FrmConfiguracion::keyPressEvent(QKeyEvent* event) {
    // The dialog has no cancel action: Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmConfiguracion::closeEvent(QCloseEvent* event) {
    // The close box unloads the dialog without applying anything.
    event->accept();
    windows_.closeConfiguration();
}

void FrmConfiguracion::connectSettings() {
    connect(&session_.settings(), &SettingsModel::changed, this,
            [this](SettingsGroup group) { showSettings(group); });
    connect(TxtEscala, &QLineEdit::textChanged, this, [this] { takeDrafts(); });
    connect(TxtUnidades, &QLineEdit::textChanged, this, [this] { takeDrafts(); });
}

void FrmConfiguracion::takeDrafts() {
    if (showing_) return;
    session_.settings().setDrafts(TxtEscala->text(), TxtUnidades->text());
}

void FrmConfiguracion::showSettings(SettingsGroup group) {
    const SettingsModel& m = session_.settings();
    switch (group) {
        case SettingsGroup::TypeOption:
            // The type's click has run on the model already.
            showModuleChoice();
            break;
        case SettingsGroup::Drafts: {
            // Showing one draft must not write the other box's old text back.
            const QString scale = m.scaleDraft();
            const QString units = m.unitsDraft();
            showing_ = true;
            if (TxtEscala->text() != scale) TxtEscala->setText(scale);
            if (TxtUnidades->text() != units) TxtUnidades->setText(units);
            showing_ = false;
            break;
        }
        case SettingsGroup::AddressChoices: {
            // Filling the list again keeps the text of the box.
            const QString text = cmb_pastilla->currentText();
            cmb_pastilla->clear();
            cmb_pastilla->addItems(m.addressChoices());
            cmb_pastilla->setEditText(text);
            break;
        }
        case SettingsGroup::ModuleRead:
            takeLoadedSettings();
            break;
        default:
            break;
    }
}

int FrmConfiguracion::selectedTipo() const {
    return firstChecked(OPT_TIPO);
}

int FrmConfiguracion::selectedPuerto() const {
    return firstChecked(OPT_PUERTO);
}

void FrmConfiguracion::load() {
    const VarGlob& g = session_.g;
    const SettingsModel& m = session_.settings();
    // The main window first: its start-up comes before anything of the dialog.
    windows_.loadMain();

    keptInputMode = g.InputMode;
    // The set-up being edited, unless a configuration file took it already.
    OpenModuleDraft(session_);
    showModuleChoice();
    showing_ = true;
    TxtEscala->setText(m.scaleDraft());
    TxtUnidades->setText(m.unitsDraft());
    showing_ = false;
    showSettings(SettingsGroup::AddressChoices);
    // The port in force, shown without its click: taking the set-up checked
    // the module there.
    showPort();
    keptModuleAddress = g.ModuleAddress;
    keptPortBase = g.PortBase;
    keptScaleFactor = g.ScaleFactor;
    keptUnitsText = g.UnitsText;
}

void FrmConfiguracion::showModuleChoice() {
    const SettingsModel& m = session_.settings();
    showing_ = true;
    if (m.typeOption() >= 0 && m.typeOption() < int(OPT_TIPO.size())) {
        OPT_TIPO[size_t(m.typeOption())]->setChecked(true);
    }
    showing_ = false;
    BT_NUEVO_MODO[1]->setVisible(m.eightBitModesOffered());
    BT_NUEVO_MODO[2]->setVisible(m.eightBitModesOffered());
    cmb_pastilla->setEditText(QString::number(session_.g.ModuleAddress));
}

void FrmConfiguracion::showAndKeepSettings() {
    const VarGlob& g = session_.g;
    TxtEscala->setText(config_format::realField(g.ScaleFactor));
    TxtUnidades->setText(g.UnitsText);
    cmb_pastilla->setEditText(QString::number(g.ModuleAddress));
    keptModuleAddress = g.ModuleAddress;
    keptPortBase = g.PortBase;
    keptScaleFactor = g.ScaleFactor;
    keptUnitsText = g.UnitsText;
}

void FrmConfiguracion::takeLoadedSettings() {
    showPort();
    showAndKeepSettings();
}

void FrmConfiguracion::showPort() {
    const VarGlob& g = session_.g;
    for (size_t i = 0; i < kPortBases.size(); ++i) {
        QRadioButton* option = OPT_PUERTO[i];
        const QSignalBlocker quiet(option);
        // Unselecting needs the group's exclusivity off for a moment.
        option->setAutoExclusive(false);
        option->setChecked(g.PortBase == kPortBases[i]);
        option->setAutoExclusive(true);
    }
}

void FrmConfiguracion::ApplyInputMode() {
    ::ApplyInputMode(session_);
}

void FrmConfiguracion::ApplyPort() {
    const VarGlob& g = session_.g;
    const int puerto = selectedPuerto();
    session_.settings().setPortBase(kPortBases[size_t(puerto < 0 ? 0 : puerto)]);
    if (moduleKindOf(g.ModuleType) == ModuleKind::Converter8 && !ModuleAnswers(session_)) {
        prompts::tellNoModuleOnPort(this);
    }
}

void FrmConfiguracion::checkAddress() {
    if (moduleKindOf(session_.g.ModuleType) == ModuleKind::Converter8 && !ModuleAnswers(session_)) {
        prompts::message(
            this, QMessageBox::Information, appTitle(),
            QStringLiteral("Atención en esta dirección no se encuentra ningún módulo"));
    }
}

void FrmConfiguracion::OPT_TIPO_Click(int index) {
    ChooseModuleType(session_, index);
    showModuleChoice();
}

void FrmConfiguracion::OPT_PUERTO_Click(int) {
    ApplyPort();
}

void FrmConfiguracion::BT_NUEVO_MODO_Click(int index) {
    ChooseInputMode(session_, index);
}

void FrmConfiguracion::cmb_pastilla_Click() {
    // An address too large for 16 bits is no address: the old one stays.
    if (const auto address = Round16(readNumber(cmb_pastilla->currentText()))) {
        session_.settings().setModuleAddress(*address);
    }
    checkAddress();
}

void FrmConfiguracion::cmb_pastilla_Enter() {
    const VarGlob& g = session_.g;
    const double typed = readNumber(cmb_pastilla->currentText());
    if (typed >= 1 && typed <= 7) {
        if (const auto address = Round16(typed)) session_.settings().setModuleAddress(*address);
    }
    cmb_pastilla->setEditText(QString::number(g.ModuleAddress));
    if (cmb_pastilla->lineEdit()) cmb_pastilla->lineEdit()->selectAll();
    checkAddress();
}

bool FrmConfiguracion::TxtEscala_LostFocus() {
    if (scaleAcceptable(readNumber(TxtEscala->text()))) return true;
    prompts::beep();
    TxtEscala->setText(config_format::realField(keptScaleFactor));
    return false;
}

void FrmConfiguracion::BT_Cerrar_Click() {
    if (const auto address = Round16(readNumber(cmb_pastilla->currentText()))) {
        session_.settings().setModuleAddress(*address);
    }
    ApplyConfiguration(session_);
    windows_.relayoutPlot();
    windows_.closeConfiguration();
}

void FrmConfiguracion::BTGuardar_Click() {
    ApplyConfiguration(session_);
    SelectCFG();
    windows_.relayoutPlot();
    windows_.closeConfiguration();
}

void FrmConfiguracion::SelectCFG() {
    const QString name = prompts::fileDialog(
        this, {FileDialogRequest::Save, QStringLiteral("Donde guardar el fichero de configuración"),
               QStringLiteral("Archivos donde guardar|*.CFG"), QString(), QStringLiteral("CFG")});
    if (name.isEmpty()) return;
    QString error;
    if (!SaveConfiguration(session_, name, &error)) {
        prompts::message(
            this, QMessageBox::Warning, appTitle(),
            QStringLiteral("No se ha podido guardar el fichero de configuración %1: %2")
                .arg(name, error));
    }
}
