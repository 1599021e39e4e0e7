// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/session_engines.h"

#include "acquisition/analog_output.h"
#include "acquisition/sweep_log.h"
#include "core/acquisition_thread.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "generator/wave_player.h"

void startEngines(Session& session) {
    const SettingsModel* model = &session.settings();
    Session::Engines engines;
    // One thread for everything that touches the modules while they run.
    engines.acquisition = std::make_shared<AcquisitionThread>();
    engines.recorder = std::make_shared<Recorder>(
        session.library(), session.g, [model] { return recorderSettings(*model); }, nullptr,
        engines.acquisition);
    engines.sweepLog = std::make_shared<SweepLog>(loadLogPreferences(*userSettings()));
    engines.recorder->setSampleLog(engines.sweepLog.get());
    engines.analogOutput = std::make_shared<AnalogOutput>(session.library(), session.g);
    engines.analogOutput->sendThrough(engines.acquisition, engines.recorder->outputCode());
    engines.wavePlayer = std::make_shared<WavePlayer>(
        session.g,
        playbackOutput(*engines.analogOutput, [model] { return model->outputMaximum(); }));
    engines.wavePlayer->playOn(engines.acquisition);
    engines.samplingTimer = engines.recorder->shownTimer();
    session.setEngines(std::move(engines));
}

PlaybackOutput playbackOutput(AnalogOutput& output, std::function<int()> maximum) {
    return {[&output] { return output.AnalogOutValue(); },
            [&output](int16_t code) { output.setCode(code); }, std::move(maximum),
            [&output] { return output.deviceWriter(); },
            [&output](int16_t code) { output.showWritten(code); }};
}

RecorderSettings recorderSettings(const SettingsModel& m) {
    RecorderSettings s;
    s.once = m.once();
    s.recordToFile = m.save() != CheckValue::Unchecked;
    for (size_t i = 0; i < s.visible.size(); ++i) {
        s.visible[i] = m.visible()[i] != CheckValue::Unchecked;
    }
    s.xyMode = m.xyMode() != CheckValue::Unchecked;
    s.grid = m.grid() != CheckValue::Unchecked;
    s.autoClear = m.autoClear();
    return s;
}
