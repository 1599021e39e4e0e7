// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/module_setup.h"

#include <algorithm>

#include "common/numbers.h"
#include "config/apply_configuration.h"
#include "config/config_file_format.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"

namespace {

// Shows or hides input channel i on the main and plot windows; a hidden
// channel is unticked.
void showChannel(SettingsModel& m, int i, bool shown) {
    if (!shown) m.setVisible(i, CheckValue::Unchecked);
    m.setChannelShown(i, shown);
}

}  // namespace

int16_t highestAddress(ModuleKind kind) {
    return kind == ModuleKind::Converter12 ? 2 : 7;
}

void OpenModuleDraft(Session& session) {
    SettingsModel& m = session.settings();
    if (m.moduleDraftOpen()) return;
    m.setModuleDraftOpen(true);
    const VarGlob& g = session.g;

    // A fresh draft selects no type and lists addresses 0 to 7; a module
    // read as type 1 or 2 offers only the 12-bit modes.
    m.setTypeOption(-1);
    m.setHighestAddress(7);
    const ModuleKind stored = moduleKindOf(g.ModuleType);
    m.setEightBitModesOffered(stored != ModuleKind::TypeOne && stored != ModuleKind::Converter12);
    // The type option comes from the type tag; a tag that names no type
    // selects none. Selecting it runs its click.
    const auto tipo = Round16(readNumber(m.typeTag().text()));
    const bool tipoValid = tipo && *tipo >= 0 && *tipo <= kAd12Option;
    if (tipoValid) {
        m.setTypeOption(*tipo);
        ChooseModuleType(session, *tipo);
    }
    // The port option that shows the port in force checks the module there.
    const bool offeredPort =
        std::find(kPortBases.begin(), kPortBases.end(), g.PortBase) != kPortBases.end();
    if (offeredPort && moduleKindOf(g.ModuleType) == ModuleKind::Converter8 &&
        !ModuleAnswers(session)) {
        m.announce(SettingsGroup::ModuleSilent);
    }
    m.setDrafts(config_format::realField(g.ScaleFactor), g.UnitsText);
    // The mode in force is shown, then the type's click sets its defaults.
    ApplyInputMode(session);
    if (tipoValid) ChooseModuleType(session, *tipo);
    ApplyConfiguration(session);
}

void CloseModuleDraft(Session& session) {
    session.settings().setModuleDraftOpen(false);
}

void ChooseModuleType(Session& session, int typeOption) {
    const VarGlob& g = session.g;
    SettingsModel& m = session.settings();
    const bool ad12 = typeOptionKind(typeOption) == ModuleKind::Converter12;
    m.setModuleType(typeOptionKind(typeOption));
    for (int i = 0; i < 4; ++i) {
        m.setVisible(i, CheckValue::Checked);
        showChannel(m, i, true);
    }
    ChooseInputMode(session, 0);
    m.setEightBitModesOffered(!ad12);
    m.setHighestAddress(highestAddress(m.moduleKind()));
    m.setModeCaption(modeCaption(typeOption, g.InputMode));
    m.setTypeTag({static_cast<int16_t>(typeOption), false});
    m.showOutputFrames();
}

void SelectModuleType(Session& session, int typeOption) {
    SettingsModel& m = session.settings();
    if (typeOption == m.typeOption()) return;
    m.setTypeOption(static_cast<int16_t>(typeOption));
    if (typeOption >= 0 && typeOption <= kAd12Option) ChooseModuleType(session, typeOption);
}

void ChooseInputMode(Session& session, int button) {
    SettingsModel& m = session.settings();
    // A type read from a file stays as written until applied: any type but 0
    // takes the 12-bit modes, where the fourth button is the differential one.
    if (moduleKindOf(session.g.ModuleType) != ModuleKind::Converter8) {
        m.setInputMode(button == 3 ? 1 : 0);
    } else {
        m.setInputMode(static_cast<int16_t>(button));
    }
    ApplyInputMode(session);
}

void ApplyInputMode(Session& session) {
    const VarGlob& g = session.g;
    SettingsModel& m = session.settings();
    for (int i = 0; i < 4; ++i) m.showInputRow(i);
    m.setModeCaption(modeCaption(m.typeOption(), g.InputMode));

    // Moves an XY axis off a channel that no longer exists.
    auto axesOff = [&](int fromChannel) {
        const bool x = g.XYChannelX >= fromChannel && g.XYChannelX <= 3;
        const bool y = g.XYChannelY >= fromChannel && g.XYChannelY <= 3;
        m.setAxesAndChannels(x ? 0 : kNoOption, y ? 1 : kNoOption);
    };

    if (moduleKindOf(g.ModuleType) != ModuleKind::Converter8) {
        // 12-bit converter: single-ended or differential, never checked.
        if (g.InputMode != 0) {
            m.setModePicture(3);
            showChannel(m, 2, false);
            showChannel(m, 3, false);
            axesOff(2);
        } else {
            m.setModePicture(0);
            showChannel(m, 2, true);
            showChannel(m, 3, true);
            m.setVisible(3, CheckValue::Checked);
        }
        return;
    }

    m.setModePicture(g.InputMode);
    switch (g.InputMode) {
        case 0:
            showChannel(m, 2, true);
            showChannel(m, 3, true);
            break;
        case 3:
            showChannel(m, 2, false);
            showChannel(m, 3, false);
            axesOff(2);
            break;
        case 1:
        case 2:
            showChannel(m, 2, true);
            showChannel(m, 3, false);
            axesOff(3);
            break;
        default:
            break;
    }
    session.library().Poner_Modo_Ad8b32(g.InputMode, g.PortBase, g.ModuleAddress);
}

bool ModuleAnswers(Session& session) {
    const VarGlob& g = session.g;
    const auto result =
        session.library().Poner_Modo_Ad8b32(g.InputMode, g.PortBase, g.ModuleAddress);
    return !result || *result == 0;
}
