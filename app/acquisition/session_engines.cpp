// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/session_engines.h"

#include "acquisition/analog_output.h"
#include "acquisition/sweep_log.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "generator/wave_player.h"

void startEngines(Session& session) {
    auto timer = std::make_unique<QtSamplingTimer>();
    QTimer* samplingTimer = timer->timer();
    samplingTimer->setObjectName(QStringLiteral("TMR_ANALOGICO"));
    const SettingsModel* model = &session.settings();
    Session::Engines engines;
    engines.recorder = std::make_shared<Recorder>(
        session.library(), session.g, [model] { return recorderSettings(*model); }, nullptr,
        std::move(timer));
    engines.sweepLog = std::make_shared<SweepLog>(loadLogPreferences(*userSettings()));
    engines.recorder->setSampleLog(engines.sweepLog.get());
    engines.analogOutput = std::make_shared<AnalogOutput>(session.library(), session.g);
    engines.wavePlayer = std::make_shared<WavePlayer>(
        session.g,
        playbackOutput(*engines.analogOutput, [model] { return model->outputMaximum(); }));
    engines.samplingTimer = samplingTimer;
    session.setEngines(std::move(engines));
}

PlaybackOutput playbackOutput(AnalogOutput& output, std::function<int()> maximum) {
    return {[&output] { return output.AnalogOutValue(); },
            [&output](int16_t code) { output.setCode(code); }, std::move(maximum)};
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
