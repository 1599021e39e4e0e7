#include "config/config_file.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QSaveFile>

#include <optional>
#include <vector>

#include "acquisition/frm_control.h"
#include "common/colors.h"
#include "common/options.h"
#include "config/app_context.h"
#include "config/apply_configuration.h"
#include "config/config_file_format.h"
#include "config/frm_configuracion.h"
#include "display/frm_registro.h"

using namespace config_format;

namespace {

// A configuration file is a few hundred bytes; more than this is not one.
constexpr qint64 kMaxFileBytes = 1 << 20;
// Line 5's value for a group with no option selected.
constexpr int kNoOption = 5;

class LineReader {
  public:
    explicit LineReader(QStringList lines) : lines_(std::move(lines)) {}
    // The next line's fields; std::nullopt past the end or for a line that
    // cannot be split.
    std::optional<FieldCursor> next() {
        if (next_ >= lines_.size()) return std::nullopt;
        const auto fields = splitLine(lines_[next_++]);
        if (!fields) return std::nullopt;
        return FieldCursor(*fields);
    }

  private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// Reads count whole numbers of the line, all or nothing.
template <typename T>
std::optional<std::vector<T>> wholeLine(std::optional<FieldCursor> line, int count) {
    if (!line) return std::nullopt;
    std::vector<T> values;
    for (int i = 0; i < count; ++i) {
        std::optional<T> v;
        if constexpr (sizeof(T) == 2) {
            v = line->nextInt16();
        } else {
            v = line->nextInt32();
        }
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    if (!line->atEnd()) return std::nullopt;
    return values;
}

// A check box's value: 0 unchecked, 1 checked, 2 greyed.
int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

bool setCheckValue(QCheckBox* box, int value) {
    switch (value) {
        case 0:
            box->setCheckState(Qt::Unchecked);
            return true;
        case 1:
            box->setCheckState(Qt::Checked);
            return true;
        case 2:
            box->setCheckState(Qt::PartiallyChecked);
            return true;
        default:
            return false;
    }
}

// Selects or unselects an option button; unselecting leaves its group with
// no option selected.
void setOptionValue(QRadioButton* option, bool selected) {
    if (selected || !option->isChecked()) {
        option->setChecked(selected);
        return;
    }
    if (QButtonGroup* group = option->group(); group && group->exclusive()) {
        group->setExclusive(false);
        option->setChecked(false);
        group->setExclusive(true);
        return;
    }
    const bool autoExclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(autoExclusive);
}

bool isColour(int32_t value) {
    return value >= 0 && value <= 0xFFFFFF;
}

// Index of the first selected option, kNoOption when none is.
int firstSelected(const std::array<QRadioButton*, 5>& options) {
    const int index = firstChecked(options);
    return index < 0 ? kNoOption : index;
}

// Line 5: a group whose field is 5 had no option selected when written and
// is left as it is. The channel follows the option, as the option's own
// click makes it do when the selection changes.
bool selectAxisOption(const std::array<QRadioButton*, 5>& options, int16_t& channel, int index) {
    if (index == kNoOption) return true;
    if (index < 0 || index >= int(options.size())) return false;
    options[size_t(index)]->setChecked(true);
    channel = int16_t(index);
    return true;
}

bool setScrollValue(QScrollBar* bar, int value) {
    if (value < bar->minimum() || value > bar->maximum()) return false;
    bar->setValue(value);
    return true;
}

// The reading steps; each returns false at the first failure, leaving what
// it set so far.
class Loader {
  public:
    Loader(AppContext& ctx, QStringList lines)
        : ctx_(ctx), g_(ctx.g), control_(ctx.frmControl()), lines_(std::move(lines)) {}

    bool run() {
        return moduleLine() && visibleLine() && colourLabelLine() && optionsLine() && axesLine() &&
               samplingSettings() && colourTableLines() && typeLine() && dataFileLine() &&
               ApplyConfiguration(ctx_);
    }

  private:
    // 1: straight into the globals, field by field.
    bool moduleLine() {
        auto line = lines_.next();
        if (!line) return false;
        auto i16 = [&](int16_t& to) {
            const auto v = line->nextInt16();
            if (v) to = *v;
            return v.has_value();
        };
        const bool read = i16(g_.ModuleType) && i16(g_.PeriodMs) && i16(g_.RequestedSamples) &&
                          i16(g_.PortBase) && i16(g_.ModuleAddress) && i16(g_.InputMode);
        if (!read) return false;
        const auto scale = line->nextReal();
        if (!scale) return false;
        g_.ScaleFactor = *scale;
        const auto units = line->nextText();
        if (!units) return false;
        g_.UnitsText = *units;
        if (ctx_.frmConfiguracionLoaded()) ctx_.frmConfiguracion()->takeLoadedSettings();
        return line->atEnd();
    }

    // 2
    bool visibleLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 5);
        if (!values) return false;
        for (size_t i = 0; i < 5; ++i) {
            if (!setCheckValue(control_->CHK_VIS[i], (*values)[i])) return false;
        }
        return true;
    }

    // 3
    bool colourLabelLine() {
        const auto values = wholeLine<int32_t>(lines_.next(), 10);
        if (!values) return false;
        for (size_t i = 0; i < 5; ++i) {
            const int32_t back = (*values)[2 * i];
            const int32_t fore = (*values)[2 * i + 1];
            if (!isColour(back) || !isColour(fore)) return false;
            setLabelColours(control_->Lbl_Vis[i], back, fore);
        }
        return true;
    }

    // 4
    bool optionsLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 5);
        if (!values) return false;
        setOptionValue(control_->Option1, (*values)[0] != 0);
        setOptionValue(control_->OPT_Una, (*values)[1] != 0);
        if (!setCheckValue(control_->CHK_Guardar, (*values)[2])) return false;
        FrmRegistro* plot = ctx_.frmRegistro();
        return setCheckValue(plot->CHK_REJILLA, (*values)[3]) &&
               setCheckValue(plot->CHK_MODO, (*values)[4]);
    }

    // 5
    bool axesLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 2);
        FrmRegistro* plot = ctx_.frmRegistro();
        return values && selectAxisOption(plot->opt_x, g_.XYChannelX, (*values)[0]) &&
               selectAxisOption(plot->opt_y, g_.XYChannelY, (*values)[1]);
    }

    // 6
    bool samplingSettings() {
        g_.SweepPeriodMs = g_.PeriodMs;
        g_.SweepSamples = g_.RequestedSamples;
        return setScrollValue(control_->Hsr_muestras, g_.RequestedSamples) &&
               setScrollValue(control_->Hsr_Periodo, g_.PeriodMs);
    }

    // 7: straight into the table, field by field.
    bool colourTableLines() {
        for (size_t column = 1; column <= 2; ++column) {
            auto line = lines_.next();
            if (!line) return false;
            for (size_t row = 0; row < g_.Colores.size(); ++row) {
                const auto v = line->nextInt32();
                if (!v) return false;
                g_.Colores[row][column] = *v;
            }
            if (!line->atEnd()) return false;
        }
        return true;
    }

    // 8
    bool typeLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 4);
        if (!values) return false;
        for (size_t i = 0; i < 4; ++i) {
            if ((*values)[i] == 0) continue;
            // Touching the dialog loads it; its load and the type's click
            // both bring InputMode back to 0.
            FrmConfiguracion* dialog = ctx_.frmConfiguracion();
            dialog->OPT_TIPO[i]->setChecked(true);
            control_->LB_MODO->setProperty("Tag", QString::number(i));
            control_->LB_MODO->setText(dialog->OPT_TIPO[i]->text().left(4) + QStringLiteral(" M=") +
                                       QString::number(g_.InputMode));
            break;
        }
        return true;
    }

    // 9
    bool dataFileLine() {
        auto line = lines_.next();
        if (!line) return false;
        const auto name = line->nextText();
        if (!name || !line->atEnd()) return false;
        if (!name->isEmpty()) g_.DataFileName = *name;
        return true;
    }

    AppContext& ctx_;
    VarGlob& g_;
    FrmControl* control_;
    LineReader lines_;
};

QString saveError(const QFileDevice& file) {
    switch (file.error()) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            return QStringLiteral("no se puede crear el fichero");
        case QFileDevice::WriteError:
        case QFileDevice::ResourceError:
            return QStringLiteral("no se ha podido escribir (¿disco lleno?)");
        case QFileDevice::RenameError:
            return QStringLiteral("no se ha podido sustituir el fichero anterior");
        default:
            return file.errorString();
    }
}

QByteArray fileText(AppContext& ctx) {
    const VarGlob& g = ctx.g;
    FrmControl* control = ctx.frmControl();
    FrmConfiguracion* dialog = ctx.frmConfiguracion();
    QStringList lines;
    auto join = [&](const QStringList& fields) { lines << fields.join(u','); };

    join({intField(g.ModuleType), intField(g.PeriodMs), intField(g.RequestedSamples),
          intField(g.PortBase), intField(g.ModuleAddress), intField(g.InputMode),
          realField(g.ScaleFactor), textField(g.UnitsText)});
    QStringList fields;
    for (const QCheckBox* box : control->CHK_VIS) fields << intField(checkValue(box));
    join(fields);
    fields.clear();
    for (const QLabel* label : control->Lbl_Vis) {
        fields << intField(labelBackColour(label)) << intField(labelForeColour(label));
    }
    join(fields);
    FrmRegistro* plot = ctx.frmRegistro();
    join({flagField(control->Option1->isChecked()), flagField(control->OPT_Una->isChecked()),
          intField(checkValue(control->CHK_Guardar)), intField(checkValue(plot->CHK_REJILLA)),
          intField(checkValue(plot->CHK_MODO))});
    join({intField(firstSelected(plot->opt_x)), intField(firstSelected(plot->opt_y))});
    for (size_t column = 1; column <= 2; ++column) {
        fields.clear();
        for (const auto& row : g.Colores) fields << intField(row[column]);
        join(fields);
    }
    fields.clear();
    for (const QRadioButton* option : dialog->OPT_TIPO) fields << flagField(option->isChecked());
    join(fields);
    join({textField(g.DataFileName)});

    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

}  // namespace

bool LoadConfiguration(AppContext& ctx, const QString& name) {
    QFile file(name);
    if (!file.exists()) {
        ctx.g.PortBase = 888;
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(kMaxFileBytes);
    file.close();
    return Loader(ctx, splitFileLines(bytes)).run();
}

bool SaveConfiguration(AppContext& ctx, const QString& name, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error) *error = reason;
        return false;
    };
    const QFileInfo info(name);
    if (info.exists() && (!info.isFile() || !info.isWritable())) {
        return fail(info.isFile() ? QStringLiteral("el fichero es de sólo lectura")
                                  : QStringLiteral("no es un fichero"));
    }
    const QByteArray text = fileText(ctx);
    // Written beside the target and put in its place only when complete.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return fail(saveError(file));
    if (file.write(text) != text.size()) {
        const QString reason = saveError(file);
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) return fail(saveError(file));
    return true;
}
