// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library_backend.h"

#include <cstring>

#include "core/tavo_library.h"

namespace {

QString portBase(int32_t base) {
    return QStringLiteral("%1H").arg(base, 0, 16).toUpper();
}

QString text(const char* field) {
    return QString::fromLocal8Bit(field);
}

QString benchCaption(const tavo32_backend_info& b) {
    const QString device = text(b.device);
    switch (b.reason) {
        case TAVO32_REASON_NO_PORT:
            return QStringLiteral("Banco simulado (no hay puerto paralelo)");
        case TAVO32_REASON_PORT_FORBIDDEN:
            return QStringLiteral("Banco simulado (sin permiso para abrir %1)").arg(device);
        case TAVO32_REASON_PORT_BUSY:
            return QStringLiteral("Banco simulado (%1 ocupado por otro programa)").arg(device);
        case TAVO32_REASON_PORT_FAILED:
            return QStringLiteral("Banco simulado (no se puede abrir %1)").arg(device);
        case TAVO32_REASON_PORT_ELSEWHERE:
            return QStringLiteral("Banco simulado (%1 está en %2)").arg(device, portBase(b.base));
        default:
            break;
    }
    return device.isEmpty() ? QStringLiteral("Banco simulado")
                            : QStringLiteral("Banco simulado (%1)").arg(device);
}

QString noHardwareCaption(const tavo32_backend_info& b) {
    switch (b.reason) {
        case TAVO32_REASON_CHOSEN:
            return QStringLiteral("Sin hardware (TAVO32_BACKEND=none)");
        case TAVO32_REASON_UNKNOWN_VALUE:
            return QStringLiteral("Sin hardware (TAVO32_BACKEND=%1 no es válido)")
                .arg(text(b.device));
        case TAVO32_REASON_PLATFORM:
            return QStringLiteral("Sin hardware (sistema no admitido)");
        default:
            break;
    }
    return QStringLiteral("Sin hardware (%1)").arg(text(b.text));
}

}  // namespace

LibraryBackend queryBackend(TavoLibrary& library) {
    LibraryBackend result;
    auto query =
        reinterpret_cast<decltype(&::tavo32_backend)>(library.resolveExtension("tavo32_backend"));
    if (!query) {
        result.state = library.loadedFile().isEmpty() ? LibraryBackend::State::NoLibrary
                                                      : LibraryBackend::State::NoReport;
        return result;
    }
    if (query(&result.info, sizeof result.info) != 0) {
        result.state = LibraryBackend::State::NoReport;
        return result;
    }
    result.state = LibraryBackend::State::Known;
    return result;
}

QString backendCaption(const LibraryBackend& backend) {
    switch (backend.state) {
        case LibraryBackend::State::NoLibrary:
            return QStringLiteral("Sin biblioteca TAVO_32");
        case LibraryBackend::State::NoReport:
            return QStringLiteral("Acceso al hardware desconocido");
        case LibraryBackend::State::Known:
            break;
    }
    const tavo32_backend_info& b = backend.info;
    const QString device = text(b.device);
    switch (b.backend) {
        case TAVO32_BACKEND_SIM:
            return benchCaption(b);
        case TAVO32_BACKEND_PPDEV:
            if (b.reason == TAVO32_REASON_PORT_FOUND)
                return QStringLiteral("Puerto %1 (%2)").arg(device, portBase(b.base));
            return device.isEmpty() ? QStringLiteral("Puertos paralelos (ppdev)")
                                    : QStringLiteral("Puertos paralelos (ppdev: %1)").arg(device);
        case TAVO32_BACKEND_IOPORT:
            return QStringLiteral("Puertos paralelos (E/S directa)");
        case TAVO32_BACKEND_DRIVER:
            return device == QLatin1String("loopback")
                       ? QStringLiteral("Controlador de prueba (loopback)")
                       : QStringLiteral("Controlador %1").arg(device);
        case TAVO32_BACKEND_NONE:
            return noHardwareCaption(b);
        default:
            break;
    }
    return QStringLiteral("Acceso al hardware desconocido");
}

QString backendWarning(const LibraryBackend& backend) {
    if (backend.state != LibraryBackend::State::Known) return {};
    const tavo32_backend_info& b = backend.info;
    if (b.backend != TAVO32_BACKEND_SIM) return {};
    const QString device = text(b.device);
    QString reason;
    switch (b.reason) {
        case TAVO32_REASON_PORT_FORBIDDEN:
            reason = QStringLiteral(
                         "No tiene permiso para abrir el puerto paralelo %1.\n"
                         "Para usar los módulos reales, añada su usuario al grupo lp "
                         "(sudo adduser $USER lp) y vuelva a iniciar la sesión.")
                         .arg(device);
            break;
        case TAVO32_REASON_PORT_BUSY:
            reason = QStringLiteral(
                         "El puerto paralelo %1 está ocupado por otro programa.\n"
                         "Cierre ese programa y vuelva a iniciar kalmor.")
                         .arg(device);
            break;
        case TAVO32_REASON_PORT_FAILED:
            reason = QStringLiteral("No se puede abrir el puerto paralelo %1 (%2).")
                         .arg(device, QString::fromLocal8Bit(std::strerror(b.error)));
            break;
        case TAVO32_REASON_PORT_ELSEWHERE:
            reason = QStringLiteral(
                         "El puerto paralelo %1 está en %2, que no es una dirección de puerto "
                         "de impresora (378H, 278H, 3BCH).\n"
                         "Para usarlo como 378H, inicie kalmor con "
                         "TAVO32_BACKEND=ppdev:%1=378H.")
                         .arg(device, portBase(b.base));
            break;
        default:
            return {};
    }
    return reason + QStringLiteral(
                        "\n\nMientras tanto kalmor usa el banco simulado: lo que registre no "
                        "son medidas reales.");
}
