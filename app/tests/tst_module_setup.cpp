// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the module without a window: the configuration file read by the
// loader on a bare session (no window set, no widget) gives the module type,
// channels, address list and input mode that the program with its windows
// gets from the same file, and the type and mode choices show the channels
// their modes offer.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "common/prompts.h"
#include "config/config_file.h"
#include "config/module_setup.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "test_program.h"

namespace {

// A whole file: the module line with the type and input mode given, channel
// 1 unticked, the XY axes on channels 2 and 3, and line 8 selecting the type
// option (none for -1).
QByteArray configFile(int moduleType, int inputMode, int typeOption) {
    QByteArray typeLine;
    for (int i = 0; i < 4; ++i) {
        typeLine += (i ? "," : "") + QByteArray(i == typeOption ? "#TRUE#" : "#FALSE#");
    }
    return QByteArray::number(moduleType) + ",100,50,888,1," + QByteArray::number(inputMode) +
           ",2,\"mV\"\r\n1,0,1,1,1\r\n"
           "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
           "#TRUE#,#FALSE#,1,1,0\r\n2,3\r\n"
           "16711680,65280,255,16776960,16711935,16777215\r\n"
           "16777215,0,16777215,0,16777215,0\r\n" +
           typeLine + "\r\n\"DATOS.DAT\"\r\n";
}

// What the module choice left in a session.
struct ModuleState {
    int16_t moduleType = 0;
    int16_t inputMode = 0;
    int16_t typeOption = 0;
    QString caption;
    std::array<bool, 5> rows{};
    std::array<bool, 5> axes{};
    std::array<CheckValue, 5> visible{};
    QStringList addresses;
    bool eightBitModes = false;
    float scaleFactor = 0.0f;
    bool operator==(const ModuleState&) const = default;
};

ModuleState stateOf(Session& s) {
    const SettingsModel& m = s.settings();
    return {s.g.ModuleType,           s.g.InputMode,        m.typeOption(), m.modeCaption(),
            m.inputRowsShown(),       m.axisOptionsShown(), m.visible(),    m.addressChoices(),
            m.eightBitModesOffered(), s.g.ScaleFactor};
}

QString describe(const ModuleState& st) {
    QStringList rows;
    for (bool r : st.rows) rows << QString::number(r);
    return QStringLiteral("type %1 mode %2 option %3 '%4' rows %5 addresses %6")
        .arg(st.moduleType)
        .arg(st.inputMode)
        .arg(st.typeOption)
        .arg(st.caption, rows.join(""), st.addresses.join(""));
}

int shownInputs(const ModuleState& st) {
    int n = 0;
    for (size_t i = 0; i < 4; ++i) n += st.rows[i] && st.axes[i] ? 1 : 0;
    return n;
}

}  // namespace

class TstModuleSetup : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString oldDir_;

    QString write(const QByteArray& bytes) {
        QFile f(dir_.filePath(QStringLiteral("modulo.CFG")));
        if (!f.open(QIODevice::WriteOnly)) return QString();
        f.write(bytes);
        return f.fileName();
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        prompts::setMessageHook([](const MessageRequest&) {});
    }
    void cleanup() {
        prompts::setMessageHook({});
        QDir::setCurrent(oldDir_);
    }

    void loaderWithoutWindowsMatchesTheProgram_data() {
        QTest::addColumn<int>("typeOption");
        QTest::addColumn<int>("fileType");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("moduleType");
        QTest::addColumn<int>("highest");
        QTest::addColumn<QString>("caption");
        // Each type option with the file's input mode 0 and with the mode
        // that hides channels; the type's click brings the mode back to 0.
        const char* const names[4] = {"ADT", "ADQ", "AD8", "AD12"};
        for (int option = 0; option < 4; ++option) {
            const bool ad12 = option == 3;
            for (int mode : {0, ad12 ? 1 : 3}) {
                QTest::addRow("%s mode %d", names[option], mode)
                    << option << (ad12 ? 2 : 0) << mode << (ad12 ? 2 : 0) << (ad12 ? 2 : 7)
                    << QStringLiteral("%1 M=0").arg(QString::fromLatin1(names[option]));
            }
        }
        // Line 8 with no type: the stored type stays until applied as 8-bit.
        QTest::addRow("no type, 12-bit stored")
            << -1 << 2 << 1 << 0 << 7 << QStringLiteral("ADT M=0");
    }
    void loaderWithoutWindowsMatchesTheProgram() {
        QFETCH(int, typeOption);
        QFETCH(int, fileType);
        QFETCH(int, fileMode);
        QFETCH(int, moduleType);
        QFETCH(int, highest);
        QFETCH(QString, caption);
        const QString name = write(configFile(fileType, fileMode, typeOption));

        // The loader alone: no window set, and no widget comes to exist.
        ModuleState bare;
        {
            Session session;
            QVERIFY(LoadConfiguration(session, name));
            QVERIFY(QApplication::allWidgets().isEmpty());
            bare = stateOf(session);
        }
        // The program reading it at start-up, its configuration dialog loaded;
        // the start-up then offers address "0" once more.
        ModuleState program;
        {
            TestProgram ctx({name});
            ctx.frmControl();
            QVERIFY(ctx.frmConfiguracionLoaded());
            program = stateOf(ctx);
        }
        QCOMPARE(program.addresses.takeLast(), QStringLiteral("0"));
        QVERIFY2(bare == program, qPrintable(describe(bare) + " / " + describe(program)));

        QCOMPARE(int(bare.moduleType), moduleType);
        QCOMPARE(int(bare.inputMode), 0);
        QCOMPARE(bare.caption, caption);
        QCOMPARE(shownInputs(bare), 4);
        for (size_t i = 0; i < 4; ++i) QCOMPARE(bare.visible[i], CheckValue::Checked);
        QCOMPARE(bare.addresses.size(), highest + 1);
        QCOMPARE(bare.addresses.last(), QString::number(highest));
        QCOMPARE(bare.eightBitModes, moduleType != 2);
        QCOMPARE(bare.scaleFactor, 2.0f);
    }

    // The type and mode choices, without the dialog: the channels each mode
    // offers, the picture, the caption and the addresses.
    void choicesShowTheirChannels_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("picture");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ADT mode 0") << 0 << 0 << 0 << 4 << 0 << "ADT M=0";
        QTest::newRow("ADQ mode 1") << 1 << 1 << 1 << 3 << 1 << "ADQ M=1";
        QTest::newRow("AD8 mode 2") << 2 << 2 << 2 << 3 << 2 << "AD8 M=2";
        QTest::newRow("AD8 mode 3") << 2 << 3 << 3 << 2 << 3 << "AD8 M=3";
        QTest::newRow("AD12 single-ended") << 3 << 0 << 0 << 4 << 0 << "AD12 M=0";
        QTest::newRow("AD12 button 1 is single-ended") << 3 << 1 << 0 << 4 << 0 << "AD12 M=0";
        QTest::newRow("AD12 differential") << 3 << 3 << 1 << 2 << 3 << "AD12 M=1";
    }
    void choicesShowTheirChannels() {
        QFETCH(int, type);
        QFETCH(int, button);
        QFETCH(int, mode);
        QFETCH(int, channels);
        QFETCH(int, picture);
        QFETCH(QString, caption);
        Session session;
        SettingsModel& m = session.settings();
        // From another type in a mode that hides channels, with the XY axes
        // on channels 2 and 3.
        SelectModuleType(session, type == 2 ? 1 : 2);
        ChooseInputMode(session, 3);
        m.setAxesAndChannels(2, 3);
        SelectModuleType(session, type);
        QCOMPARE(session.g.InputMode, int16_t(0));
        ChooseInputMode(session, button);

        const ModuleState st = stateOf(session);
        QCOMPARE(int(st.moduleType), type == 3 ? 2 : 0);
        QCOMPARE(int(st.inputMode), mode);
        QCOMPARE(st.caption, caption);
        QCOMPARE(m.modePicture(), picture);
        QCOMPARE(shownInputs(st), channels);
        for (size_t i = 0; i < 4; ++i) {
            QCOMPARE(st.rows[i], int(i) < channels);
            QCOMPARE(st.visible[i] == CheckValue::Checked, int(i) < channels);
        }
        // An XY axis never stays on a channel that is gone.
        QVERIFY(session.g.XYChannelX < channels);
        QVERIFY(session.g.XYChannelY < channels);
        QCOMPARE(st.addresses.size(), type == 3 ? 3 : 8);
        QCOMPARE(m.typeTag().text(), QString::number(type));
        QVERIFY(m.outputFramesShown());
        QVERIFY(QApplication::allWidgets().isEmpty());
    }

    // The draft is taken once until closed: a file read meanwhile, or a
    // second opening, keeps what is being edited.
    void draftIsTakenOnceUntilClosed() {
        Session session;
        SettingsModel& m = session.settings();
        session.g.ScaleFactor = 3.0f;
        session.g.UnitsText = QStringLiteral("bar");
        m.setTypeTag({2, false});
        OpenModuleDraft(session);
        QCOMPARE(m.typeOption(), int16_t(2));
        QCOMPARE(m.scaleDraft(), QStringLiteral("3"));
        QCOMPARE(m.unitsDraft(), QStringLiteral("bar"));

        m.setDrafts(QStringLiteral("7"), QStringLiteral("kV"));
        m.setTypeTag({3, false});
        OpenModuleDraft(session);
        QCOMPARE(m.typeOption(), int16_t(2));
        QCOMPARE(m.scaleDraft(), QStringLiteral("7"));

        CloseModuleDraft(session);
        OpenModuleDraft(session);
        QCOMPARE(m.typeOption(), int16_t(3));
        QCOMPARE(session.g.ModuleType, int16_t(2));
        QCOMPARE(m.scaleDraft(), QStringLiteral("3"));
        QCOMPARE(m.addressChoices().size(), 3);
        QVERIFY(!m.eightBitModesOffered());
    }

    // Every stored ModuleType value has one kind; the kinds that differ in
    // what they do stay apart.
    void storedTypeHasOneKind_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("highest");
        QTest::newRow("0") << 0 << int(ModuleKind::Converter8) << 7;
        QTest::newRow("1") << 1 << int(ModuleKind::TypeOne) << 7;
        QTest::newRow("2") << 2 << int(ModuleKind::Converter12) << 2;
        QTest::newRow("5") << 5 << int(ModuleKind::Converter8HalfRange) << 7;
        QTest::newRow("3") << 3 << int(ModuleKind::Other) << 7;
        QTest::newRow("-1") << -1 << int(ModuleKind::Other) << 7;
        QTest::newRow("32767") << 32767 << int(ModuleKind::Other) << 7;
    }
    void storedTypeHasOneKind() {
        QFETCH(int, stored);
        QFETCH(int, kind);
        QFETCH(int, highest);
        const ModuleKind k = moduleKindOf(static_cast<int16_t>(stored));
        QCOMPARE(int(k), kind);
        QCOMPARE(int(highestAddress(k)), highest);
    }
};

QTEST_MAIN(TstModuleSetup)
#include "tst_module_setup.moc"
