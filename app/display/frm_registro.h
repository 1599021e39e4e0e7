// The plot window FRM_REGISTRO.
#pragma once

#include <QWidget>

class AppContext;

class FrmRegistro : public QWidget {
    Q_OBJECT
  public:
    explicit FrmRegistro(AppContext& ctx, QWidget* parent = nullptr);
    void load();

  private:
    AppContext& ctx_;
};
