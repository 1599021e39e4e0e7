// SPDX-License-Identifier: GPL-3.0-or-later
// A recording looked at again: a data file or a log of every sweep, opened
// read-only in a window of its own, its channels against time in the
// configured colours with the plot window's graduations and grid. Follows a
// file still being written; a damaged file shows what could be read and
// says where reading stopped.
#pragma once

#include <QWidget>

#include <array>

#include "common/recording_file.h"
#include "display/recording_view.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class RecordingCanvas;
class Session;

class FrmVisor : public QWidget {
    Q_OBJECT
  public:
    FrmVisor(Session& session, const QString& fileName, QWidget* parent = nullptr);

    // Reads what the file has gained since; the follow timer runs it.
    void refresh();
    // "Ver todo": the whole recording.
    void showAll();
    // What is shown, for the image file and the printer.
    QImage picture() const;
    const RecordingFile& recording() const { return file_; }
    // The readout for the sample nearest to time t.
    QString readoutAt(double t) const;

    std::array<QCheckBox*, 5> CHK_VER{};
    QPushButton* BT_VerTodo = nullptr;
    QPushButton* BT_GuardarImagen = nullptr;
    QPushButton* BT_Imprimir = nullptr;
    RecordingCanvas* PIC_TRAZADO = nullptr;
    QLabel* Lbl_Lectura = nullptr;
    QLabel* Lbl_Estado = nullptr;
    QTimer* Tmr_Seguir = nullptr;

  private:
    void applyLook();
    void setViewQuietly(const ViewRange& view);
    void saveImage();
    void print();

    Session& session_;
    RecordingFile file_;
    MinMaxSummary summary_;
    int restarts_ = 0;
    // The whole recording is in view and stays so as the file grows, until
    // the user zooms or pans.
    bool following_ = true;
    bool settingView_ = false;
};
