// SPDX-License-Identifier: GPL-3.0-or-later
#include <QStringList>

#include <optional>
#include <vector>

#include "config/config_file_format.h"
#include "config/config_record.h"
#include "config/windows_1252.h"

using namespace config_format;

namespace {

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

std::optional<CheckValue> checkValue(int16_t value) {
    if (value < 0 || value > 2) return std::nullopt;
    return static_cast<CheckValue>(value);
}

bool isColour(int32_t value) {
    return value >= 0 && value <= 0xFFFFFF;
}

// The steps; each returns false at the first failure, after counting the
// items that were good.
class Parser {
  public:
    explicit Parser(const QByteArray& bytes) : lines_(splitFileLines(bytes)) {}

    ConfigRecord run() {
        const bool whole = step(ConfigStep::ModuleLine, &Parser::moduleLine) &&
                           step(ConfigStep::VisibleLine, &Parser::visibleLine) &&
                           step(ConfigStep::LabelColourLine, &Parser::labelColourLine) &&
                           step(ConfigStep::OptionsLine, &Parser::optionsLine) &&
                           step(ConfigStep::AxesLine, &Parser::axesLine) &&
                           step(ConfigStep::SamplingSettings, &Parser::samplingSettings) &&
                           step(ConfigStep::ColourTableLines, &Parser::colourTableLines) &&
                           step(ConfigStep::TypeLine, &Parser::typeLine) &&
                           step(ConfigStep::DataFileLine, &Parser::dataFileLine);
        if (whole) {
            r_.stoppedAt = ConfigStep::Complete;
            r_.itemsRead = 0;
        }
        return r_;
    }

  private:
    bool step(ConfigStep s, bool (Parser::*read)()) {
        r_.stoppedAt = s;
        r_.itemsRead = 0;
        return (this->*read)();
    }

    bool moduleLine() {
        auto line = lines_.next();
        if (!line) return false;
        for (int16_t* to : {&r_.ModuleType, &r_.PeriodMs, &r_.RequestedSamples, &r_.PortBase,
                            &r_.ModuleAddress, &r_.InputMode}) {
            const auto v = line->nextInt16();
            if (!v) return false;
            *to = *v;
            ++r_.itemsRead;
        }
        const auto scale = line->nextReal();
        if (!scale) return false;
        r_.ScaleFactor = *scale;
        ++r_.itemsRead;
        const auto units = line->nextText();
        if (!units) return false;
        r_.UnitsText = *units;
        ++r_.itemsRead;
        return line->atEnd();
    }

    bool visibleLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 5);
        if (!values) return false;
        for (size_t i = 0; i < 5; ++i) {
            const auto v = checkValue((*values)[i]);
            if (!v) return false;
            r_.visible[i] = *v;
            ++r_.itemsRead;
        }
        return true;
    }

    bool labelColourLine() {
        const auto values = wholeLine<int32_t>(lines_.next(), 10);
        if (!values) return false;
        for (size_t i = 0; i < 5; ++i) {
            const LabelColours c{(*values)[2 * i], (*values)[2 * i + 1]};
            if (!isColour(c.back) || !isColour(c.fore)) return false;
            r_.labelColours[i] = c;
            ++r_.itemsRead;
        }
        return true;
    }

    // Items: the two options, then the three check boxes.
    bool optionsLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 5);
        if (!values) return false;
        r_.continuous = (*values)[0] != 0;
        r_.once = (*values)[1] != 0;
        r_.itemsRead = 2;
        for (CheckValue* to : {&r_.save, &r_.grid, &r_.xyMode}) {
            const auto v = checkValue((*values)[size_t(r_.itemsRead)]);
            if (!v) return false;
            *to = *v;
            ++r_.itemsRead;
        }
        return true;
    }

    bool axesLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 2);
        if (!values) return false;
        for (int16_t* to : {&r_.axisX, &r_.axisY}) {
            const int16_t index = (*values)[size_t(r_.itemsRead)];
            if (index < 0 || index > kNoOption) return false;
            *to = index;
            ++r_.itemsRead;
        }
        return true;
    }

    // Items: the sweep copies, then each scroll bar that takes its value.
    bool samplingSettings() {
        r_.itemsRead = 1;
        if (r_.RequestedSamples < kSamplesMin || r_.RequestedSamples > kSamplesMax) return false;
        r_.itemsRead = 2;
        if (r_.PeriodMs < kPeriodMin || r_.PeriodMs > kPeriodMax) return false;
        r_.itemsRead = 3;
        return true;
    }

    // Field by field: column 1 of rows 0 to 5, then column 2.
    bool colourTableLines() {
        for (size_t column = 1; column <= 2; ++column) {
            auto line = lines_.next();
            if (!line) return false;
            for (auto& row : r_.Colores) {
                const auto v = line->nextInt32();
                if (!v) return false;
                row[column] = *v;
                ++r_.itemsRead;
            }
            if (!line->atEnd()) return false;
        }
        return true;
    }

    bool typeLine() {
        const auto values = wholeLine<int16_t>(lines_.next(), 4);
        if (!values) return false;
        for (size_t i = 0; i < 4; ++i) {
            if ((*values)[i] != 0) {
                r_.typeOption = int16_t(i);
                break;
            }
        }
        return true;
    }

    bool dataFileLine() {
        auto line = lines_.next();
        if (!line) return false;
        const auto name = line->nextText();
        if (!name || !line->atEnd()) return false;
        r_.DataFileName = *name;
        return true;
    }

    LineReader lines_;
    ConfigRecord r_;
};

QString checkField(CheckValue v) {
    return intField(static_cast<int16_t>(v));
}

}  // namespace

ConfigRecord parseConfiguration(const QByteArray& bytes) {
    return Parser(bytes).run();
}

QByteArray formatConfiguration(const ConfigRecord& r) {
    QStringList lines;
    QStringList fields;
    auto flush = [&] {
        lines << fields.join(u',');
        fields.clear();
    };
    fields << intField(r.ModuleType) << intField(r.PeriodMs) << intField(r.RequestedSamples)
           << intField(r.PortBase) << intField(r.ModuleAddress) << intField(r.InputMode)
           << realField(r.ScaleFactor) << textField(r.UnitsText);
    flush();
    for (CheckValue v : r.visible) fields << checkField(v);
    flush();
    for (const LabelColours& c : r.labelColours) fields << intField(c.back) << intField(c.fore);
    flush();
    fields << flagField(r.continuous) << flagField(r.once) << checkField(r.save)
           << checkField(r.grid) << checkField(r.xyMode);
    flush();
    fields << intField(r.axisX) << intField(r.axisY);
    flush();
    for (size_t column = 1; column <= 2; ++column) {
        for (const auto& row : r.Colores) fields << intField(row[column]);
        flush();
    }
    for (int16_t i = 0; i < 4; ++i) fields << flagField(i == r.typeOption);
    flush();
    fields << textField(r.DataFileName);
    flush();
    // One byte per character, in the Windows Western code page.
    return toWindows1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}
