// The shared library's dynamic symbol table holds the 20 calls and nothing
// else: internals and the test hooks stay hidden.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

TEST(FrameSymbols, SharedLibraryExportsExactlyTheTwentyCalls) {
    const std::string command = std::string("nm -D --defined-only '") + TAVO32_SHARED_LIBRARY + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0) << command;

    // Lines are "address type name".
    std::set<std::string> exported;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) exported.insert(name);
    }
    const std::set<std::string> expected = {
        "Autodeteccion_Dig32", "Escribir_Dig32",     "Leer_Dig32",        "Autodeteccion_Ad8b32",
        "Poner_Modo_Ad8b32",   "Leer_Ad8b32",        "Escribir_Ad8b32",   "Autodeteccion_Cont32",
        "Escribir_Cuenta32",   "Parar_Contaje32",    "Activar_Contaje32", "Parar_Alarma32",
        "Activar_Alarma32",    "Escribir_Alarma32",  "Leer_Cuenta32",     "Leer_Alarma32",
        "Leer_Registro32",     "Leer_Ad12r_Unico32", "Escribir_Ad12r32",  "Leer_Ad12r32",
    };
    EXPECT_EQ(exported, expected);
}

}  // namespace
