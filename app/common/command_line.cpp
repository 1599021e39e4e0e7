// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/command_line.h"

std::optional<std::string> commandLineAnswer(const std::vector<std::string>& words) {
    if (words.size() != 1) return std::nullopt;
    const std::string& word = words.front();
    if (word == "--version" || word == "-V")
        return "kalmor " KALMOR_VERSION
               "\n"
               "Licencia GPL-3.0-or-later: GNU GPL versión 3 o posterior.\n"
               "Es software libre: puede modificarlo y redistribuirlo.\n"
               "No hay NINGUNA GARANTÍA, en la medida en que lo permita la ley.\n";
    if (word == "--help" || word == "-h")
        return "Uso: kalmor [FICHERO]\n"
               "Registra y genera señales de baja frecuencia con los módulos de medida del\n"
               "puerto de impresora.\n"
               "\n"
               "FICHERO es el fichero de configuración que se lee al empezar (por omisión,\n"
               "Config.CFG en la carpeta actual); el fichero de datos se escribe allí también.\n"
               "\n"
               "  -h, --help     muestra esta ayuda y termina\n"
               "  -V, --version  muestra la versión y termina\n"
               "\n"
               "Entorno:\n"
               "  TAVO32_BACKEND  el hardware que usa la biblioteca TAVO_32: sin definir, el\n"
               "                  primer puerto paralelo que se puede abrir (/dev/parportN) y,\n"
               "                  si no hay ninguno, el banco simulado; sim, el banco simulado;\n"
               "                  ppdev:/dev/parportN, ese puerto; none, ningún hardware.\n"
               "La barra de estado de la ventana principal indica siempre cuál se usa.\n";
    return std::nullopt;
}
