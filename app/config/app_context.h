// One application context owns the globals, the library binding and the
// windows. Each window is created and loaded the first time anything asks
// for it, and stays until the context ends. The accessor hands out the
// window while its own load handler is still running, because load
// handlers reach back into their own window.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "config/var_glob.h"

class FrmControl;
class FrmRegistro;
class FrmConfiguracion;
class TavoLibrary;

class AppContext {
  public:
    // arguments: the program's command line without the program name.
    explicit AppContext(QStringList arguments = {});
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    VarGlob g;

    FrmControl* frmControl();
    FrmRegistro* frmRegistro();
    FrmConfiguracion* frmConfiguracion();
    bool frmConfiguracionLoaded() const;

    TavoLibrary& library();

    const QStringList& arguments() const { return arguments_; }
    // Caption of the main window and title of the program's message boxes.
    static QString appTitle();

  private:
    QStringList arguments_;
    std::unique_ptr<TavoLibrary> library_;
    FrmControl* control_ = nullptr;
    FrmRegistro* registro_ = nullptr;
    FrmConfiguracion* configuracion_ = nullptr;
};
