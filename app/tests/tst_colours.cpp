// SPDX-License-Identifier: GPL-3.0-or-later
// The colour settings without the dialog's widgets: the rules, the editing
// state, the preview picture, the table in the settings model and the two
// ways of opening the dialog around a recording.
#include <QSignalSpy>
#include <QtTest>

#include "acquisition/recorder.h"
#include "common/colour_rules.h"
#include "core/colour_settings.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/colour_editor.h"
#include "display/drawing_surface.h"
#include "widgets/colours.h"
#include "windows/colour_entry.h"

Q_DECLARE_METATYPE(SettingsGroup)

namespace {

constexpr int32_t kWhite = kColourWhite;
constexpr int32_t kBlack = kColourBlack;

class FakeClock : public Clock {
  public:
    double now() const override { return 0.0; }
};

QList<SettingsGroup> groupsOf(QSignalSpy& spy) {
    QList<SettingsGroup> seen;
    for (const QList<QVariant>& args : spy) seen << args[0].value<SettingsGroup>();
    spy.clear();
    return seen;
}

}  // namespace

class TstColours : public QObject {
    Q_OBJECT
  private slots:
    void splitAndLuminance_data() {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::addColumn<double>("luminance");
        QTest::addColumn<int>("contrast");
        QTest::newRow("blue") << 0xFF0000 << 0 << 0 << 255 << 25.5 << kWhite;
        QTest::newRow("E0 with green 200")
            << (256 * 200 + 65536 * 255) << 0 << 200 << 255 << 145.5 << kBlack;
        QTest::newRow("magenta") << 0xFF00FF << 255 << 0 << 255 << 102.0 << kWhite;
        QTest::newRow("just below 128") << 0x00D500 << 0 << 213 << 0 << 127.8 << kWhite;
        QTest::newRow("exactly 128")
            << (256 * 200 + 65536 * 80) << 0 << 200 << 80 << 128.0 << kBlack;
        QTest::newRow("white") << 0xFFFFFF << 255 << 255 << 255 << 255.0 << kBlack;
    }
    void splitAndLuminance() {
        QFETCH(int, colour);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        QFETCH(double, luminance);
        QFETCH(int, contrast);
        QCOMPARE(SplitColour(colour), (Rgb{red, green, blue}));
        QCOMPARE(JoinColour({red, green, blue}), colour);
        QVERIFY(qAbs(ColourLuminance(colour) - luminance) < 1e-9);
        QCOMPARE(ContrastColour(colour), contrast);
    }

    void defaultsObeyTheContrastRule() {
        const ColourTable t = DefaultColours();
        const std::array<int32_t, 6> colours{0xFF0000, 0x00FF00, 0x0000FF,
                                             0xFFFF00, 0xFF00FF, 0xFFFFFF};
        const std::array<int32_t, 6> contrasts{kWhite, kBlack, kWhite, kBlack, kWhite, kBlack};
        for (size_t i = 0; i < 6; ++i) {
            QCOMPARE(t[i][1], colours[i]);
            QCOMPARE(t[i][2], contrasts[i]);
        }
    }

    void partTextOnEnter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");  // empty: the text stays as typed
        QTest::newRow("300") << "300" << 255 << "255";
        QTest::newRow("overflowing") << "1e999" << 255 << "255";
        QTest::newRow("negative") << "-4" << 0 << "0";
        QTest::newRow("no number") << "abc" << 0 << "";
        QTest::newRow("half to even") << "12.5" << 12 << "";
        QTest::newRow("comma point") << "12,9" << 13 << "";
        QTest::newRow("comma point, half to even") << "12,5" << 12 << "";
        QTest::newRow("comma point, above 255") << "255,6" << 255 << "255";
    }
    void partTextOnEnter() {
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(QString, shown);
        const PartEntry e = readPartText(typed);
        QCOMPARE(e.value, value);
        QCOMPARE(e.text.value_or(QString()), shown);
    }

    // Opening selects the output: the bars show magenta's parts.
    void editorOpensOnTheOutput() {
        const ColourEditor editor(DefaultColours());
        QCOMPARE(editor.selected(), kOutputRow);
        QCOMPARE(editor.bars(), (Rgb{255, 0, 255}));
        QCOMPARE(editor.table(), DefaultColours());
    }

    void movingABarSetsTheContrast() {
        ColourEditor editor(DefaultColours());
        editor.select(0);
        QVERIFY(editor.moveBar(ColourPart::Green, 200));
        QCOMPARE(editor.table()[0][1], 256 * 200 + 65536 * 255);
        QCOMPARE(editor.table()[0][2], kBlack);
        // The same value again is no move.
        QVERIFY(!editor.moveBar(ColourPart::Green, 200));
        QCOMPARE(editor.backup(), DefaultColours());
    }

    // A row read from a file with the "wrong" contrast takes the rule's
    // once a bar moves to show it; a row whose parts the bars already hold
    // keeps its own.
    void selectingARowAppliesTheRuleOnlyWhenABarMoves() {
        ColourTable t = DefaultColours();
        t[0][2] = kBlack;  // blue on black
        t[4][2] = kBlack;  // magenta on black
        ColourEditor editor(t);
        QCOMPARE(editor.table()[4][2], kWhite);
        editor.select(0);
        QCOMPARE(editor.table()[0][2], kWhite);
        t = DefaultColours();
        t[2][1] = 0xFF00FF;
        t[2][2] = kBlack;
        ColourEditor same(t);
        same.select(2);
        QCOMPARE(same.table()[2][2], kBlack);
    }

    // "&Reponer" goes back to what the dialog opened with, not the defaults.
    void resetReturnsToTheOpeningColours() {
        ColourTable opened = DefaultColours();
        opened[5][1] = 0x123456;
        opened[5][2] = kWhite;
        ColourEditor editor(opened);
        editor.select(5);
        editor.moveBar(ColourPart::Red, 0);
        editor.select(1);
        editor.moveBar(ColourPart::Blue, 9);
        editor.reset();
        QCOMPARE(editor.table(), opened);
        QCOMPARE(editor.selected(), kOutputRow);
        QCOMPARE(editor.bars(), (Rgb{255, 0, 255}));
    }

    void previewDrawsBackgroundAndRays() {
        DrawingSurface picture;
        picture.resize(101, 101);
        ColourTable t = DefaultColours();
        t[5][1] = 0x202020;
        DrawColourPreview(picture, t);
        const QImage& img = picture.shownImage();
        auto at = [&](float x, float y) {
            return fromQColor(
                QColor(img.pixel(int(picture.toPixelX(x) + 0.5), int(picture.toPixelY(y) + 0.5))));
        };
        QCOMPARE(picture.backColor(), 0x202020);
        QCOMPARE(picture.foreColor(), kBlack);
        QVERIFY(!picture.dotted());
        // Away from every line: the plot area's colour.
        QCOMPARE(at(3.0f, 18.0f), 0x202020);
        // Ray i runs to (7 i, 20): E0 through (3.5, 10), E2 through (10.5, 10).
        QCOMPARE(at(3.5f, 10.0f), t[0][1]);
        QCOMPARE(at(10.5f, 10.0f), t[2][1]);
        // The output's ray leaves the picture at its right edge: (20, 11.43).
        QCOMPARE(at(20.0f, 20.0f * 20.0f / 35.0f), t[4][1]);
    }

    void tableChangesAreAnnounced() {
        VarGlob g;
        SettingsModel m(g);
        QSignalSpy spy(&m, &SettingsModel::changed);
        ResetDefaultColours(m);
        QCOMPARE(groupsOf(spy),
                 (QList<SettingsGroup>{SettingsGroup::ColourTable, SettingsGroup::Colours,
                                       SettingsGroup::PlotColours}));
        QCOMPARE(g.Colores, DefaultColours());
        QCOMPARE(m.labelColours()[4], (LabelColours{0xFF00FF, kWhite}));

        m.setColourTable(DefaultColours());
        QVERIFY(groupsOf(spy).isEmpty());

        // Applying without a change still clears and recolours the plot.
        ApplyColours(m);
        QCOMPARE(groupsOf(spy), QList<SettingsGroup>{SettingsGroup::ColoursApplied});
        ColourTable t = DefaultColours();
        t[1][1] = 0x010203;
        t[1][2] = kWhite;
        m.setColourTable(t);
        ApplyColours(m);
        QCOMPARE(groupsOf(spy),
                 (QList<SettingsGroup>{SettingsGroup::ColourTable, SettingsGroup::ColoursApplied,
                                       SettingsGroup::Colours}));
        QCOMPARE(m.labelColours()[1], (LabelColours{0x010203, kWhite}));
    }

    // Opening the dialog during a recording: from the configuration dialog
    // sampling resumes, from the menu the recording ends; not recording,
    // neither starts one. Cancelled edits leave the table but still apply.
    void entryPointsAroundARecording_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("recordingAfter");
        QTest::addColumn<bool>("timerAfter");
        QTest::newRow("configuration, recording") << false << true << true << true << true;
        QTest::newRow("menu, recording") << true << true << true << false << false;
        QTest::newRow("menu, cancelled") << true << true << false << false << false;
        QTest::newRow("menu, idle") << true << false << true << false << false;
        QTest::newRow("configuration, idle") << false << false << false << false << false;
    }
    void entryPointsAroundARecording() {
        QFETCH(bool, fromMenu);
        QFETCH(bool, recording);
        QFETCH(bool, keep);
        QFETCH(bool, recordingAfter);
        QFETCH(bool, timerAfter);
        VarGlob g;
        g.PortBase = 888;
        SettingsModel m(g);
        ResetDefaultColours(m);
        TavoLibrary lib(QCoreApplication::applicationDirPath() + "/standin", false);
        auto thread = std::make_shared<AcquisitionThread>(std::make_unique<FakeClock>());
        RecorderSettings settings;
        settings.recordToFile = false;
        Recorder rec(
            lib, g, [&] { return settings; }, nullptr, thread);
        if (recording) rec.StartStopRecording();
        QSignalSpy spy(&m, &SettingsModel::changed);

        bool timerDuringDialog = true;
        int previews = 0;
        ColourTable edited = DefaultColours();
        edited[5][1] = 0x777777;
        ColourDialogCalls calls;
        calls.edit = [&](const ColourTable& table) -> std::optional<ColourTable> {
            timerDuringDialog = rec.timerActive();
            if (table != DefaultColours()) return std::nullopt;
            return keep ? std::optional<ColourTable>(edited) : std::nullopt;
        };
        calls.redrawPreview = [&] { ++previews; };
        EditColours(rec, m, fromMenu ? ColourEntry::Menu : ColourEntry::ConfigurationDialog, calls);

        QVERIFY(!timerDuringDialog);
        QCOMPARE(rec.recording(), recordingAfter);
        QCOMPARE(rec.timerActive(), timerAfter);
        QCOMPARE(previews, fromMenu ? 1 : 0);
        QCOMPARE(g.Colores[5][1], keep ? 0x777777 : 0xFFFFFF);
        QVERIFY(groupsOf(spy).contains(SettingsGroup::ColoursApplied));
    }
};

QTEST_MAIN(TstColours)
#include "tst_colours.moc"
