// SPDX-License-Identifier: GPL-3.0-or-later
// The settings model on its own: one change notification per group that
// changed, none for a value set again.
#include <QSignalSpy>
#include <QtTest>

#include "core/settings_model.h"

Q_DECLARE_METATYPE(SettingsGroup)

class TstSettingsModel : public QObject {
    Q_OBJECT
  private slots:
    void oneNotificationPerChangedGroup() {
        VarGlob g;
        SettingsModel m(g);
        QSignalSpy spy(&m, &SettingsModel::changed);
        auto groups = [&] {
            QList<SettingsGroup> seen;
            for (const QList<QVariant>& args : spy) seen << args[0].value<SettingsGroup>();
            spy.clear();
            return seen;
        };

        m.setPlotLimits(0.0f, 5.0f, 4095);
        m.setRecordingOptions(false, true, CheckValue::Greyed);
        m.setAxesAndChannels(3, kNoOption);
        QCOMPARE(groups(),
                 (QList<SettingsGroup>{SettingsGroup::PlotLimits, SettingsGroup::RecordingOptions,
                                       SettingsGroup::XYChannels}));
        QCOMPARE(g.PlotUpper, 5.0f);
        QCOMPARE(g.XYChannelX, int16_t(3));
        QCOMPARE(g.XYChannelY, int16_t(1));

        // The same values again change nothing.
        m.setPlotLimits(0.0f, 5.0f, 4095);
        m.setRecordingOptions(false, true, CheckValue::Greyed);
        m.setAxesAndChannels(3, kNoOption);
        m.setModuleType(ModuleKind::Converter8);
        QVERIFY(groups().isEmpty());

        m.setModuleType(ModuleKind::Converter12);
        QCOMPARE(m.moduleKind(), ModuleKind::Converter12);
        QCOMPARE(g.ModuleType, int16_t(2));
        std::array<CheckValue, 5> visible = m.visible();
        visible[4] = CheckValue::Unchecked;
        m.setVisible(visible);
        QCOMPARE(groups(),
                 (QList<SettingsGroup>{SettingsGroup::Module, SettingsGroup::VisibleChannels}));
    }

    // The file's line 5 selects options; only an option that changes moves
    // its channel (at first opt_y(0) is selected while the Y axis shows 1).
    void fileSelectsAxesAsClicksWould() {
        VarGlob g;
        SettingsModel m(g);
        m.selectAxes(0, 0);
        QCOMPARE(g.XYChannelX, int16_t(0));
        QCOMPARE(g.XYChannelY, int16_t(1));
        m.selectAxes(3, 2);
        QCOMPARE(g.XYChannelX, int16_t(3));
        QCOMPARE(g.XYChannelY, int16_t(2));
        g.XYChannelY = 4;
        m.selectAxes(kNoOption, 2);
        QCOMPARE(g.XYChannelY, int16_t(4));
        QCOMPARE(m.axisX(), int16_t(3));
    }

    // The sampling bars write samples and period through the model, which
    // says Sampling once when either changed and stays quiet otherwise; the
    // start-up's settings are VarGlob's own.
    void samplingSaysItsGroupOnce_data() {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("notifications");
        QTest::newRow("as they start") << 50 << 100 << 0;
        QTest::newRow("samples") << 700 << 100 << 1;
        QTest::newRow("period") << 50 << 250 << 1;
        QTest::newRow("both") << 10000 << 30000 << 1;
    }
    void samplingSaysItsGroupOnce() {
        QFETCH(int, samples);
        QFETCH(int, period);
        QFETCH(int, notifications);
        VarGlob g;
        QCOMPARE(g.RequestedSamples, kSamplesMin);
        QCOMPARE(g.PeriodMs, kPeriodMin);
        QCOMPARE(g.SweepSamples, int16_t(100));
        SettingsModel m(g);
        QSignalSpy spy(&m, &SettingsModel::changed);
        m.setSampling(int16_t(samples), int16_t(period));
        QCOMPARE(spy.size(), notifications);
        if (notifications) QCOMPARE(spy[0][0].value<SettingsGroup>(), SettingsGroup::Sampling);
        QCOMPARE(int(g.RequestedSamples), samples);
        QCOMPARE(int(g.PeriodMs), period);
        // The sweep copies are the sampling engine's and the file's.
        QCOMPARE(g.SweepSamples, int16_t(100));
        m.setSampling(int16_t(samples), int16_t(period));
        QCOMPARE(spy.size(), notifications);
    }

    // The tag keeps the spelling each writer gives it.
    void typeTagSpellings() {
        QCOMPARE((TypeTag{3, true}).text(), QString(" 3"));
        QCOMPARE((TypeTag{3, false}).text(), QString("3"));
        QCOMPARE(TypeTag{}.text(), QString());
    }
};

QTEST_MAIN(TstSettingsModel)
#include "tst_settings_model.moc"
