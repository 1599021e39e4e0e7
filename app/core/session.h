// SPDX-License-Identifier: GPL-3.0-or-later
// One running program's state: the globals, the settings model, the library
// binding and the engines. It knows no window: windows are given the session
// and show what it holds. The engines are built above core (they use core),
// so they are handed to the session once, right after it is made.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "core/var_glob.h"

class TavoLibrary;
class SettingsModel;
class WavePlayer;
class Recorder;
class SweepLog;
class AnalogOutput;
class QTimer;
class AcquisitionThread;

class Session {
  public:
    // arguments: the program's command line without the program name.
    explicit Session(QStringList arguments = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    VarGlob g;

    TavoLibrary& library();
    SettingsModel& settings();

    // The engines: no widgets; windows connect to their signals.
    struct Engines {
        std::shared_ptr<Recorder> recorder;
        // The log of every sweep, which the recorder feeds.
        std::shared_ptr<SweepLog> sweepLog;
        std::shared_ptr<AnalogOutput> analogOutput;
        std::shared_ptr<WavePlayer> wavePlayer;
        // The recorder's timer, which the main window shows as TMR_ANALOGICO.
        QTimer* samplingTimer = nullptr;
        // Where the reads and output writes run; it goes after the engines.
        std::shared_ptr<AcquisitionThread> acquisition;
    };
    void setEngines(Engines engines);
    WavePlayer& wavePlayer();
    Recorder& recorder();
    SweepLog& sweepLog();
    AnalogOutput& analogOutput();
    QTimer* samplingTimer() { return engines_.samplingTimer; }

    const QStringList& arguments() const { return arguments_; }

  private:
    QStringList arguments_;
    std::unique_ptr<TavoLibrary> library_;
    std::unique_ptr<SettingsModel> settings_;
    Engines engines_;
};
