// SPDX-License-Identifier: GPL-3.0-or-later
// Run-time binding of the device library TAVO_32. Each export is looked up
// by name at its first call, in the program's own folder first and then on
// the system's search path. A library or name that cannot be bound makes the
// call do nothing (the result is std::nullopt); outside the sampling reads the
// problem teller (set by the window set, which shows it) is told once about
// each missing file or name. Safe from any thread (the library itself
// serialises the calls); only the window thread tells.
#pragma once

#include <QLibrary>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class TavoLibrary {
  public:
    // folder: where to look first; empty = the program's own folder.
    // searchSystem: fall back to the system's search path.
    explicit TavoLibrary(QString folder = QString(), bool searchSystem = true);
    ~TavoLibrary();
    TavoLibrary(const TavoLibrary&) = delete;
    TavoLibrary& operator=(const TavoLibrary&) = delete;

    // Who says a library or name that cannot be bound; none tells nobody.
    void setProblemTeller(std::function<void(const QString&)> teller);

    // Changes where the library is looked for and forgets every binding.
    void setSearch(QString folder, bool searchSystem);

    // While one exists on a thread, failures to bind met on that thread are
    // not reported to the user (the sampling reads run many times a second
    // and must not stop on a box).
    class QuietScope {
      public:
        explicit QuietScope(TavoLibrary&) : previous_(quietHere_) { quietHere_ = true; }
        ~QuietScope() { quietHere_ = previous_; }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

      private:
        bool previous_;
    };

    // Binds the export of that name now, on this thread, so that a library
    // or name missing is told here even when the call itself will run on
    // another thread. False when it cannot be bound.
    bool prepare(const char* exportName);

    // The file the library was loaded from; empty while none is loaded.
    QString loadedFile() const;

    // Digital input/output modules.
    std::optional<int16_t> Autodeteccion_Dig32(int16_t* port, int16_t* addr);
    std::optional<int16_t> Escribir_Dig32(int16_t value, int16_t port, int16_t addr);
    std::optional<int16_t> Leer_Dig32(int16_t port, int16_t addr);
    // 8-bit converter modules.
    std::optional<int16_t> Autodeteccion_Ad8b32(int16_t* port, int16_t* addr);
    std::optional<int16_t> Poner_Modo_Ad8b32(int16_t mode, int16_t port, int16_t addr);
    std::optional<int16_t> Leer_Ad8b32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                       int16_t port, int16_t addr);
    std::optional<int16_t> Escribir_Ad8b32(int16_t value, int16_t port, int16_t addr);
    // Counter/alarm modules.
    std::optional<int16_t> Autodeteccion_Cont32(int16_t* port, int16_t* addr);
    std::optional<int16_t> Escribir_Cuenta32(int32_t count, int16_t port, int16_t addr);
    std::optional<int16_t> Parar_Contaje32(int16_t port, int16_t addr);
    std::optional<int16_t> Activar_Contaje32(int16_t port, int16_t addr);
    std::optional<int16_t> Parar_Alarma32(int16_t port, int16_t addr);
    std::optional<int16_t> Activar_Alarma32(int16_t port, int16_t addr);
    std::optional<int16_t> Escribir_Alarma32(int32_t count, int16_t port, int16_t addr);
    std::optional<int32_t> Leer_Cuenta32(int16_t port, int16_t addr);
    // 12-bit converter modules.
    std::optional<int16_t> Leer_Ad12r32(int16_t* c0, int16_t* c1, int16_t* c2, int16_t* c3,
                                        int16_t port, int16_t pos, int16_t differential,
                                        int16_t upper);
    std::optional<int16_t> Escribir_Ad12r32(int16_t value, int16_t port, int16_t pos);

    // A function this library offers beyond the 20 calls (tavo32_ext.h),
    // bound by name; null, without telling anyone, when the library or the
    // name is missing (other TAVO_32 libraries lack the extensions).
    void (*resolveExtension(const char* name))();

    // Base name of the library file on this platform.
    static QString libraryFileName();

  private:
    enum Export : int;
    struct Slot {
        void (*function)() = nullptr;
        bool tried = false;
        bool told = false;
    };

    void (*bind(Export which))();
    // Under mutex_; a text to tell goes to *told.
    bool loadLibrary(QString* told);
    std::function<void(const QString&)> teller_;
    // True when someone was told.
    bool tell(const QString& text);

    static thread_local bool quietHere_;
    mutable std::mutex mutex_;
    QString folder_;
    bool searchSystem_;
    std::unique_ptr<QLibrary> library_;
    bool loadTried_ = false;
    bool loadTold_ = false;
    QString loadError_;
    std::array<Slot, 17> slots_{};
};
