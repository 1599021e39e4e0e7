// The configuration dialog FRM_CONFIGURACION.
#pragma once

#include <QDialog>

class AppContext;

class FrmConfiguracion : public QDialog {
    Q_OBJECT
  public:
    explicit FrmConfiguracion(AppContext& ctx, QWidget* parent = nullptr);
    void load();

  private:
    AppContext& ctx_;
};
