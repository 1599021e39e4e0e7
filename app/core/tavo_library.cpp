// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/tavo_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cstring>
#include <utility>

#include "tavo32.h"

enum TavoLibrary::Export : int {
    kAutodeteccionDig,
    kEscribirDig,
    kLeerDig,
    kAutodeteccionAd8b,
    kPonerModoAd8b,
    kLeerAd8b,
    kEscribirAd8b,
    kAutodeteccionCont,
    kEscribirCuenta,
    kPararContaje,
    kActivarContaje,
    kPararAlarma,
    kActivarAlarma,
    kEscribirAlarma,
    kLeerCuenta,
    kLeerAd12r,
    kEscribirAd12r,
};

namespace {
// Same order as TavoLibrary::Export.
constexpr std::array<const char*, 17> kExportNames = {
    "Autodeteccion_Dig32", "Escribir_Dig32",    "Leer_Dig32",        "Autodeteccion_Ad8b32",
    "Poner_Modo_Ad8b32",   "Leer_Ad8b32",       "Escribir_Ad8b32",   "Autodeteccion_Cont32",
    "Escribir_Cuenta32",   "Parar_Contaje32",   "Activar_Contaje32", "Parar_Alarma32",
    "Activar_Alarma32",    "Escribir_Alarma32", "Leer_Cuenta32",     "Leer_Ad12r32",
    "Escribir_Ad12r32",
};
}  // namespace

thread_local bool TavoLibrary::quietHere_ = false;

TavoLibrary::TavoLibrary(QString folder, bool searchSystem)
    : folder_(std::move(folder)), searchSystem_(searchSystem) {}

TavoLibrary::~TavoLibrary() = default;

void TavoLibrary::setSearch(QString folder, bool searchSystem) {
    const std::lock_guard<std::mutex> lock(mutex_);
    folder_ = std::move(folder);
    searchSystem_ = searchSystem;
    // The old library stays mapped: a caller may still hold a result computed
    // from it, and unmapping buys nothing here.
    library_.reset();
    loadTried_ = false;
    loadTold_ = false;
    loadError_.clear();
    slots_ = {};
}

QString TavoLibrary::libraryFileName() {
    return QStringLiteral("libTAVO_32.so");
}

QString TavoLibrary::loadedFile() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return library_ ? library_->fileName() : QString();
}

void TavoLibrary::setProblemTeller(std::function<void(const QString&)> teller) {
    teller_ = std::move(teller);
}

bool TavoLibrary::tell(const QString& text) {
    // Core shows nothing: whoever set the teller (the window set) says it,
    // and only on the window thread, which owns every box.
    QCoreApplication* app = QCoreApplication::instance();
    if (quietHere_ || !teller_ || !app || app->thread() != QThread::currentThread()) return false;
    teller_(text);
    return true;
}

bool TavoLibrary::loadLibrary(QString* told) {
    if (library_) return true;
    if (!loadTried_) {
        loadTried_ = true;
        const QString folder = folder_.isEmpty() ? QCoreApplication::applicationDirPath() : folder_;
        const QString own = QDir(folder).filePath(libraryFileName());
        auto candidate = std::make_unique<QLibrary>(own);
        // A file that is there but cannot be loaded is worth naming.
        if (!candidate->load() && QFileInfo::exists(own)) loadError_ = candidate->errorString();
        if (!candidate->isLoaded() && searchSystem_) {
            // A bare name lets the system's loader search its usual places.
            candidate = std::make_unique<QLibrary>(QStringLiteral("TAVO_32"));
            candidate->load();
        }
        if (candidate->isLoaded()) {
            library_ = std::move(candidate);
            return true;
        }
    }
    if (!quietHere_ && !loadTold_) {
        loadTold_ = true;
        QString text = loadError_.isEmpty()
                           ? QStringLiteral("No se encuentra la biblioteca TAVO_32 (%1).")
                                 .arg(libraryFileName())
                           : QStringLiteral("No se puede cargar la biblioteca TAVO_32 (%1):\n%2")
                                 .arg(libraryFileName(), loadError_);
        *told = text + QStringLiteral("\nLas operaciones con los módulos no tendrán efecto.");
    }
    return false;
}

void (*TavoLibrary::bind(Export which))() {
    QString told;
    bool toldLoad = false;
    void (*function)() = nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        Slot& slot = slots_[which];
        if (slot.function) return slot.function;
        if (loadLibrary(&told)) {
            if (!slot.tried) {
                slot.tried = true;
                slot.function = library_->resolve(kExportNames[which]);
            }
            function = slot.function;
            if (!function && !quietHere_ && !slot.told) {
                slot.told = true;
                told =
                    QStringLiteral("No se encuentra la función %1 en la biblioteca TAVO_32 (%2).")
                        .arg(QString::fromLatin1(kExportNames[which]), library_->fileName());
            }
        } else {
            toldLoad = !told.isEmpty();
        }
    }
    // Told outside the lock: the box runs the window's events meanwhile.
    // Counted told only when someone heard it, so a teller set later hears.
    if (!told.isEmpty() && !tell(told)) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (toldLoad) {
            loadTold_ = false;
        } else {
            slots_[which].told = false;
        }
    }
    return function;
}

bool TavoLibrary::prepare(const char* exportName) {
    for (size_t i = 0; i < kExportNames.size(); ++i) {
        if (std::strcmp(kExportNames[i], exportName) == 0) {
            return bind(static_cast<Export>(i)) != nullptr;
        }
    }
    return false;
}

void (*TavoLibrary::resolveExtension(const char* name))() {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Nobody is told here: a missing library is told by the first of the
    // 20 calls that needs it.
    const bool toldBefore = loadTold_;
    QString told;
    const bool loaded = loadLibrary(&told);
    loadTold_ = toldBefore;
    if (!loaded) return nullptr;
    return library_->resolve(name);
}

// Each wrapper binds its export, then calls it with every argument widened to
// the 32-bit slot the library expects.
#define TAVO_CALL(which, name, ...)                                   \
    auto function = reinterpret_cast<decltype(&::name)>(bind(which)); \
    if (!function) return std::nullopt;                               \
    return function(__VA_ARGS__)

std::optional<int16_t> TavoLibrary::Autodeteccion_Dig32(int16_t* port, int16_t* addr) {
    TAVO_CALL(kAutodeteccionDig, Autodeteccion_Dig32, port, addr);
}
std::optional<int16_t> TavoLibrary::Escribir_Dig32(int16_t value, int16_t port, int16_t addr) {
    TAVO_CALL(kEscribirDig, Escribir_Dig32, value, port, addr);
}
std::optional<int16_t> TavoLibrary::Leer_Dig32(int16_t port, int16_t addr) {
    TAVO_CALL(kLeerDig, Leer_Dig32, port, addr);
}
std::optional<int16_t> TavoLibrary::Autodeteccion_Ad8b32(int16_t* port, int16_t* addr) {
    TAVO_CALL(kAutodeteccionAd8b, Autodeteccion_Ad8b32, port, addr);
}
std::optional<int16_t> TavoLibrary::Poner_Modo_Ad8b32(int16_t mode, int16_t port, int16_t addr) {
    TAVO_CALL(kPonerModoAd8b, Poner_Modo_Ad8b32, mode, port, addr);
}
std::optional<int16_t> TavoLibrary::Leer_Ad8b32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                                int16_t port, int16_t addr) {
    TAVO_CALL(kLeerAd8b, Leer_Ad8b32, c0, c1, c2, c3, port, addr);
}
std::optional<int16_t> TavoLibrary::Escribir_Ad8b32(int16_t value, int16_t port, int16_t addr) {
    TAVO_CALL(kEscribirAd8b, Escribir_Ad8b32, value, port, addr);
}
std::optional<int16_t> TavoLibrary::Autodeteccion_Cont32(int16_t* port, int16_t* addr) {
    TAVO_CALL(kAutodeteccionCont, Autodeteccion_Cont32, port, addr);
}
std::optional<int16_t> TavoLibrary::Escribir_Cuenta32(int32_t count, int16_t port, int16_t addr) {
    TAVO_CALL(kEscribirCuenta, Escribir_Cuenta32, count, port, addr);
}
std::optional<int16_t> TavoLibrary::Parar_Contaje32(int16_t port, int16_t addr) {
    TAVO_CALL(kPararContaje, Parar_Contaje32, port, addr);
}
std::optional<int16_t> TavoLibrary::Activar_Contaje32(int16_t port, int16_t addr) {
    TAVO_CALL(kActivarContaje, Activar_Contaje32, port, addr);
}
std::optional<int16_t> TavoLibrary::Parar_Alarma32(int16_t port, int16_t addr) {
    TAVO_CALL(kPararAlarma, Parar_Alarma32, port, addr);
}
std::optional<int16_t> TavoLibrary::Activar_Alarma32(int16_t port, int16_t addr) {
    TAVO_CALL(kActivarAlarma, Activar_Alarma32, port, addr);
}
std::optional<int16_t> TavoLibrary::Escribir_Alarma32(int32_t count, int16_t port, int16_t addr) {
    TAVO_CALL(kEscribirAlarma, Escribir_Alarma32, count, port, addr);
}
std::optional<int32_t> TavoLibrary::Leer_Cuenta32(int16_t port, int16_t addr) {
    TAVO_CALL(kLeerCuenta, Leer_Cuenta32, port, addr);
}
std::optional<int16_t> TavoLibrary::Leer_Ad12r32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                                 int16_t port, int16_t pos, int16_t differential,
                                                 int16_t upper) {
    TAVO_CALL(kLeerAd12r, Leer_Ad12r32, c0, c1, c2, c3, port, pos, differential, upper);
}
std::optional<int16_t> TavoLibrary::Escribir_Ad12r32(int16_t value, int16_t port, int16_t pos) {
    TAVO_CALL(kEscribirAd12r, Escribir_Ad12r32, value, port, pos);
}

#undef TAVO_CALL
