// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/colour_entry.h"

#include "acquisition/recorder.h"
#include "core/colour_settings.h"
#include "core/settings_model.h"

void EditColours(Recorder& recorder, SettingsModel& m, ColourEntry entry,
                 const ColourDialogCalls& calls) {
    const bool wasSampling = recorder.samplingRunning();
    recorder.pause();
    const std::optional<ColourTable> edited =
        calls.edit ? calls.edit(m.colourTable()) : std::nullopt;
    // The program ended while the dialog was open: nothing more may happen.
    if (recorder.abandoned()) return;
    if (edited) m.setColourTable(*edited);
    ApplyColours(m);
    if (entry == ColourEntry::Menu) {
        if (calls.redrawPreview) calls.redrawPreview();
        // Ends the recording, writing its data file as a stop does; one that
        // already ended is not started again.
        if (wasSampling && recorder.recording()) recorder.StartStopRecording();
    } else if (wasSampling) {
        recorder.resume();
    }
}
