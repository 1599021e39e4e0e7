// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/recording_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "common/log_format.h"

namespace {

// A line longer than any the program writes is taken as damage, so binary
// data without line ends is not held in memory waiting for one.
constexpr size_t kLongestLine = 1024;
constexpr size_t kChunk = 4 << 20;

template <typename T>
bool parseNumber(std::string_view field, T& out) {
    if (field.empty()) return false;
    const char* end = field.data() + field.size();
    const auto r = std::from_chars(field.data(), end, out);
    if (r.ec != std::errc() || r.ptr != end) return false;
    if constexpr (std::is_floating_point_v<T>) return std::isfinite(out);
    return true;
}

bool isBinary(std::string_view line) {
    for (const char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t') return true;
    }
    return false;
}

// Splits at commas into at most max + 1 fields; returns the number found.
int splitFields(std::string_view line, std::string_view* fields, int max) {
    int n = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        if (n > max) return n;
        fields[n++] = line.substr(start, comma == std::string_view::npos ? comma : comma - start);
        if (comma == std::string_view::npos) return n;
        start = comma + 1;
    }
}

}  // namespace

size_t RecordingParser::feed(std::string_view bytes) {
    size_t used = 0;
    while (!stopped_ && used < bytes.size()) {
        const std::string_view rest = bytes.substr(used);
        const size_t nl = rest.find('\n');
        if (nl == std::string_view::npos) {
            if (rest.size() > kLongestLine) {
                ++line_;
                stop(isBinary(rest.substr(0, kLongestLine))
                         ? QStringLiteral("contiene datos que no son texto")
                         : QStringLiteral("la línea es demasiado larga"));
            }
            break;
        }
        std::string_view line = rest.substr(0, nl);
        used += nl + 1;
        ++line_;
        cutLine_ = 0;
        empty_ = false;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!parseLine(line)) break;
    }
    return used;
}

void RecordingParser::noteRest(std::string_view rest) {
    if (stopped_) return;
    cutLine_ = rest.empty() ? 0 : line_ + 1;
    if (!rest.empty()) empty_ = false;
}

bool RecordingParser::parseLine(std::string_view line) {
    if (line.size() > kLongestLine) {
        stop(QStringLiteral("la línea es demasiado larga"));
        return false;
    }
    if (isBinary(line)) {
        stop(QStringLiteral("contiene datos que no son texto"));
        return false;
    }
    // Blank lines carry nothing and harm nothing.
    if (line.find_first_not_of(" \t") == std::string_view::npos) return true;

    if (data_.format == RecordingFormat::Unknown) {
        if (line == kLogHeader) {
            data_.format = RecordingFormat::Log;
            return true;
        }
        const unsigned char first = static_cast<unsigned char>(line.front());
        const bool numeric = (first >= '0' && first <= '9') || first == '-' || first == '.';
        if (!numeric) {
            stop(QStringLiteral("la cabecera no es la de un registro de kalmor"));
            return false;
        }
        data_.format = RecordingFormat::DataFile;
    }

    const bool log = data_.format == RecordingFormat::Log;
    const int expected = log ? 8 : 6;
    std::string_view f[9];
    const int n = splitFields(line, f, 8);
    if (n != expected) {
        stop(n < expected ? QStringLiteral("faltan campos (%1 de %2)").arg(n).arg(expected)
                          : QStringLiteral("sobran campos (se esperaban %1)").arg(expected));
        return false;
    }
    int first = 0;
    if (log) {
        int32_t sweep = 0, sample = 0;
        if (!parseNumber(f[0], sweep) || !parseNumber(f[1], sample)) {
            stop(QStringLiteral("el barrido o la muestra no es un número entero"));
            return false;
        }
        first = 2;
    }
    double t = 0.0;
    if (!parseNumber(f[first], t)) {
        stop(QStringLiteral("el tiempo no es un número"));
        return false;
    }
    // The data file counts milliseconds, the log seconds.
    if (!log) t /= 1000.0;
    if (!data_.seconds.empty() && t < data_.seconds.back()) {
        stop(QStringLiteral("el tiempo retrocede"));
        return false;
    }
    std::array<float, 5> v{};
    for (int i = 0; i < 5; ++i) {
        if (!parseNumber(f[first + 1 + i], v[static_cast<size_t>(i)])) {
            stop(QStringLiteral("el campo %1 no es un número").arg(first + 2 + i));
            return false;
        }
    }
    data_.seconds.push_back(t);
    for (size_t i = 0; i < 5; ++i) data_.values[i].push_back(v[i]);
    return true;
}

void RecordingParser::stop(const QString& reason) {
    stopped_ = true;
    stopReason_ = reason;
    stopLine_ = line_;
    cutLine_ = 0;
}

QString RecordingParser::problem() const {
    if (stopped_) {
        return QStringLiteral(
                   "Lectura detenida en la línea %1: %2. Se muestran las %3 muestras "
                   "leídas antes.")
            .arg(stopLine_)
            .arg(stopReason_)
            .arg(data_.size());
    }
    if (cutLine_ > 0) {
        return QStringLiteral(
                   "La línea %1 está cortada y no se muestra (si el fichero se está "
                   "escribiendo, aparecerá al completarse).")
            .arg(cutLine_);
    }
    if (empty_) return QStringLiteral("El fichero está vacío.");
    if (data_.size() == 0 && data_.format == RecordingFormat::Log) {
        return QStringLiteral("El registro aún no tiene muestras.");
    }
    return QString();
}

RecordingFile::RecordingFile(QString path) : path_(std::move(path)) {}

bool RecordingFile::update() {
    const QByteArray name = QFile::encodeName(path_);
    // Read-only, never created: the file is looked at, not touched.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        openError_ = QStringLiteral("No se puede abrir el fichero: %1.")
                         .arg(errno == ENOENT ? QStringLiteral("no existe")
                                              : QStringLiteral("no se puede leer"));
        opened_ = false;
        return false;
    }
    opened_ = true;
    openError_.clear();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        openError_ = QStringLiteral("No se puede abrir el fichero: no es un fichero.");
        opened_ = false;
        return false;
    }
    bool changed = false;
    const bool replaced = static_cast<uint64_t>(st.st_ino) != inode_ ||
                          static_cast<uint64_t>(st.st_dev) != device_ ||
                          static_cast<int64_t>(st.st_size) < consumed_;
    if (replaced) {
        changed = parser_.data().size() > 0;
        if (inode_ != 0) ++restarts_;
        parser_ = RecordingParser();
        consumed_ = 0;
        inode_ = static_cast<uint64_t>(st.st_ino);
        device_ = static_cast<uint64_t>(st.st_dev);
    }
    if (parser_.stopped()) {
        ::close(fd);
        return changed;
    }
    if (consumed_ == 0 && st.st_size > 0) {
        // A log row takes about 40 bytes: room for them at once instead of
        // copying the columns as they grow.
        const size_t rows = std::min<size_t>(size_t(st.st_size) / 40, 50'000'000);
        RecordingData& d = parser_.data();
        d.seconds.reserve(rows);
        for (auto& column : d.values) column.reserve(rows);
    }
    const size_t before = parser_.data().size();
    std::string buffer;
    std::string pending;
    if (::lseek(fd, static_cast<off_t>(consumed_), SEEK_SET) >= 0) {
        buffer.resize(kChunk);
        for (;;) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            pending.append(buffer.data(), static_cast<size_t>(n));
            const size_t used = parser_.feed(pending);
            consumed_ += static_cast<int64_t>(used);
            pending.erase(0, used);
            if (parser_.stopped()) break;
        }
    }
    ::close(fd);
    parser_.noteRest(pending);
    return changed || parser_.data().size() != before;
}

QString RecordingFile::problem() const {
    if (!openError_.isEmpty()) return openError_;
    return parser_.problem();
}
