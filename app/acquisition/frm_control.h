// The main window FRM_CONTROL: sampling settings, analog output, generator
// and the menus; its load handler is the program's start-up.
#pragma once

#include <QMainWindow>

class AppContext;

class FrmControl : public QMainWindow {
    Q_OBJECT
  public:
    explicit FrmControl(AppContext& ctx, QWidget* parent = nullptr);
    ~FrmControl() override;

    void load();

  private:
    AppContext& ctx_;
};
