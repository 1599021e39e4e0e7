// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform table's fills and the waveform dialog's field rules.
#include <QtTest>

#include "core/var_glob.h"
#include "generator/wave_fields.h"
#include "generator/wave_tables.h"

namespace {
QList<int> entries(const VarGlob& g, int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i) out << g.WaveTable[i];
    return out;
}
}  // namespace

class TstWaveTables : public QObject {
    Q_OBJECT
  private slots:
    void periodSetsTheNumberOfEntries_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("length");
        QTest::newRow("100") << 100 << 2;
        QTest::newRow("125 halves to even") << 125 << 2;
        QTest::newRow("175") << 175 << 4;
        QTest::newRow("15000") << 15000 << 300;
    }
    void periodSetsTheNumberOfEntries() {
        QFETCH(int, period);
        QFETCH(int, length);
        VarGlob g;
        QCOMPARE(GeneratePeriodic(g, 1, int16_t(period), 100, 200), TableFault::None);
        QCOMPARE(int(g.WaveLength), length);
    }

    void squareHighHalfRoundsToEven_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QList<int>>("table");
        QTest::newRow("N = 5") << 250 << QList<int>{250, 250, 150, 150, 150};
        QTest::newRow("N = 7") << 350 << QList<int>{250, 250, 250, 250, 150, 150, 150};
    }
    void squareHighHalfRoundsToEven() {
        QFETCH(int, period);
        QFETCH(QList<int>, table);
        VarGlob g;
        GeneratePeriodic(g, 1, int16_t(period), 100, 200);
        QCOMPARE(entries(g, 1, g.WaveLength), table);
    }

    void sineCoversSixPointTwoEightRadians() {
        VarGlob g;
        g.WaveOneShot = kTrue;
        QCOMPARE(GeneratePeriodic(g, 0, 5000, 1500, 2048), TableFault::None);
        QCOMPARE(int(g.WaveLength), 100);
        QCOMPARE(int(g.WaveTable[1]), 2048);
        QCOMPARE(int(g.WaveTable[26]), 2798);
        QCOMPARE(int(g.WaveTable[100]), 1999);
        QCOMPARE(g.WaveOneShot, kTrue);
    }

    void triangleRisesShortOfTheTopAndFallsFromIt() {
        VarGlob g;
        GeneratePeriodic(g, 2, 200, 100, 200);
        QCOMPARE(entries(g, 1, 4), (QList<int>{150, 200, 250, 200}));
    }

    void stimuli() {
        VarGlob g;
        GenerateStimulus(g, 0, 9000, 200, 100);
        QCOMPARE(entries(g, 1, g.WaveLength), (QList<int>{100, 300, 100}));
        QCOMPARE(g.WaveOneShot, kTrue);

        GenerateStimulus(g, 1, 4000, 4000, 0);
        QCOMPARE(int(g.WaveLength), 80);
        QCOMPARE(entries(g, 79, 80), (QList<int>{4000, 0}));
        QCOMPARE(entries(g, 1, 79), QList<int>(79, 4000));

        GenerateStimulus(g, 2, 4000, 4000, 0);
        QCOMPARE(int(g.WaveLength), 80);
        for (int i = 1; i <= 80; ++i) QCOMPARE(int(g.WaveTable[i]), 50 * (i - 1));
    }

    // What a fill cannot do leaves the table and its length as they were.
    void refusedFillsChangeNothing_data() {
        QTest::addColumn<bool>("stimulus");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("amplitude");
        QTest::addColumn<int>("offset");
        QTest::addColumn<TableFault>("fault");
        QTest::newRow("triangle 2 x A") << false << 2 << 5000 << 16384 << 0 << TableFault::Overflow;
        QTest::newRow("more than 300") << false << 0 << 15050 << 100 << 100 << TableFault::Index;
        QTest::newRow("period 0") << false << 1 << 0 << 100 << 100 << TableFault::Index;
        QTest::newRow("step A + O") << true << 1 << 4000 << 30000 << 30000 << TableFault::Overflow;
        QTest::newRow("impulse A + O")
            << true << 0 << 4000 << -30000 << -30000 << TableFault::Overflow;
    }
    void refusedFillsChangeNothing() {
        QFETCH(bool, stimulus);
        QFETCH(int, kind);
        QFETCH(int, period);
        QFETCH(int, amplitude);
        QFETCH(int, offset);
        QFETCH(TableFault, fault);
        VarGlob g;
        GeneratePeriodic(g, 0, 1000, 100, 100);
        const auto before = g.WaveTable;
        const auto got = stimulus ? GenerateStimulus(g, kind, period, amplitude, offset)
                                  : GeneratePeriodic(g, kind, period, amplitude, offset);
        QCOMPARE(got, fault);
        QVERIFY(!tableFaultMessage(got).isEmpty());
        QCOMPARE(int(g.WaveLength), 20);
        QVERIFY(g.WaveTable == before);
        QCOMPARE(g.WaveOneShot, kFalse);
    }

    void acceptedDrawingIsRoundedAndKeptInTheOutputRange() {
        VarGlob g;
        g.DrawnSignal[1] = 4096.0f;
        g.DrawnSignal[2] = -3.2f;
        g.DrawnSignal[3] = 100.5f;
        g.WaveLength = 7;
        AcceptDrawnSignal(g, 1, true, 4095);
        QCOMPARE(int(g.WaveLength), 7);
        AcceptDrawnSignal(g, 3, false, 4095);
        QCOMPARE(entries(g, 1, 3), (QList<int>{4095, 0, 100}));
        QCOMPARE(int(g.WaveLength), 3);
        QCOMPARE(g.WaveOneShot, kTrue);
        AcceptDrawnSignal(g, 3, true, 255);
        QCOMPARE(int(g.WaveTable[1]), 255);
        QCOMPARE(g.WaveOneShot, kFalse);
    }

    void userSignalUnchangedKeepsTheDrawing() {
        VarGlob g;
        for (int i = 1; i <= 300; ++i) g.DrawnSignal[i] = 1000.4f + i;
        const auto r = ApplyUserSignal(g, {"1500", "2048", "5000", " 1500", " 2048", "5000"}, 4095);
        QCOMPARE(r.fault, TableFault::None);
        QVERIFY(!r.stretched);
        QCOMPARE(int(g.WaveLength), 100);
        QCOMPARE(int(g.WaveTable[1]), 1001);
        QCOMPARE(int(g.WaveTable[300]), 1300);
    }

    void userSignalRescalesAndClampsBeforeRounding() {
        VarGlob g;
        g.DrawnSignal[1] = 2053.0f;
        g.DrawnSignal[2] = 2043.0f;
        // Entries past the drawing are 0; moved from a small amplitude to a
        // large one they fall far below 0, and stay 0.
        const auto r = ApplyUserSignal(g, {"4000", "2048", "100", " 10", " 2048", "100"}, 4095);
        QCOMPARE(r.fault, TableFault::None);
        QCOMPARE(entries(g, 1, 3), (QList<int>{4048, 48, 0}));
    }

    // Each drawn value keeps its distance from the drawing's offset, scaled
    // by the amplitudes, around the new offset.
    void userSignalMovesToTheNewOffset_data() {
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("drawnAmplitude");
        QTest::addColumn<QString>("drawnOffset");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("up by 1000") << "100"
                                    << "1500"
                                    << " 100"
                                    << " 500" << QList<int>{1550, 1450, 1500};
        QTest::newRow("down by 300") << "100"
                                     << "200"
                                     << " 100"
                                     << " 500" << QList<int>{250, 150, 200};
        QTest::newRow("twice as high, moved") << "200"
                                              << "3000"
                                              << " 100"
                                              << " 500" << QList<int>{3100, 2900, 3000};
    }
    void userSignalMovesToTheNewOffset() {
        QFETCH(QString, amplitude);
        QFETCH(QString, offset);
        QFETCH(QString, drawnAmplitude);
        QFETCH(QString, drawnOffset);
        QFETCH(QList<int>, expected);
        VarGlob g;
        g.DrawnSignal[1] = 550.0f;
        g.DrawnSignal[2] = 450.0f;
        g.DrawnSignal[3] = 500.0f;
        const auto r = ApplyUserSignal(
            g, {amplitude, offset, "150", drawnAmplitude, drawnOffset, "150"}, 4095);
        QCOMPARE(r.fault, TableFault::None);
        QCOMPARE(int(g.WaveLength), 3);
        QCOMPARE(entries(g, 1, 3), expected);
    }

    void userSignalRefusals_data() {
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("drawnAmplitude");
        QTest::addColumn<QString>("period");
        QTest::addColumn<TableFault>("fault");
        QTest::newRow("flat drawing") << "1500"
                                      << " 0"
                                      << "5000" << TableFault::FlatDrawing;
        QTest::newRow("amplitude 0") << "0"
                                     << " 100"
                                     << "5000" << TableFault::DivisionByZero;
        QTest::newRow("period past 300") << "1500"
                                         << " 100"
                                         << "15050" << TableFault::Index;
        QTest::newRow("period 0") << "1500"
                                  << " 100"
                                  << "0" << TableFault::Index;
    }
    void userSignalRefusals() {
        QFETCH(QString, amplitude);
        QFETCH(QString, drawnAmplitude);
        QFETCH(QString, period);
        QFETCH(TableFault, fault);
        VarGlob g;
        g.WaveTable[1] = 77;
        g.WaveLength = 9;
        g.DrawnSignal[1] = 500.0f;
        const auto r =
            ApplyUserSignal(g, {amplitude, "2048", period, drawnAmplitude, " 500", "500"}, 4095);
        QCOMPARE(r.fault, fault);
        QCOMPARE(int(g.WaveTable[1]), 77);
        QCOMPARE(int(g.WaveLength), 9);
        QCOMPARE(tableFaultMessage(TableFault::FlatDrawing),
                 QStringLiteral("La señal dibujada no tiene amplitud"));
    }

    void userSignalStretchRepeatsEntries() {
        VarGlob g;
        for (int i = 1; i <= 300; ++i) g.DrawnSignal[i] = 10.0f * i;
        const auto r = ApplyUserSignal(g, {"100", "50", "5000", " 100", " 50", "2000"}, 4095);
        QVERIFY(r.stretched);
        QCOMPARE(int(g.WaveLength), 100);
        // k advances by 0.4: each of the 40 source entries two or three
        // times, in order; the last step lands on 40.6, the next entry.
        QMap<int, int> times;
        int previous = 0;
        for (int j = 1; j <= 100; ++j) {
            QVERIFY(g.WaveTable[j] >= previous);
            previous = g.WaveTable[j];
            ++times[g.WaveTable[j]];
        }
        QCOMPARE(times.take(410), 1);
        QCOMPARE(times.size(), 40);
        for (int n : times) QVERIFY(n == 2 || n == 3);
        QCOMPARE(entries(g, 1, 6), (QList<int>{10, 10, 20, 20, 30, 30}));
        QCOMPARE(entries(g, 101, 300), QList<int>(200, 0));
    }

    void userSignalCompressTakesEveryTwoAndAHalf() {
        VarGlob g;
        for (int i = 1; i <= 300; ++i) g.DrawnSignal[i] = 10.0f * i;
        const auto r = ApplyUserSignal(g, {"100", "50", "2000", " 100", " 50", "5000"}, 4095);
        QVERIFY(!r.stretched);
        QCOMPARE(int(g.WaveLength), 40);
        // Sources 1, 3.5 -> 4, 6, 8.5 -> 8, ... up to 298.5 -> 298, then zeros.
        QCOMPARE(entries(g, 1, 4), (QList<int>{10, 40, 60, 80}));
        QCOMPARE(int(g.WaveTable[120]), 2980);
        QCOMPARE(entries(g, 121, 300), QList<int>(180, 0));
    }

    void fieldRules_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("maxCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("corrected");
        const int A = int(WaveField::AmplitudOnda), O = int(WaveField::OffsetOnda),
                  P = int(WaveField::PeriodoOnda), SA = int(WaveField::AmplitudEstimulos),
                  SO = int(WaveField::OffsetEstimulos), UA = int(WaveField::AmplitudUsuario),
                  UP = int(WaveField::PeriodoEstimulos);
        QTest::newRow("amplitude 4094 fits") << A << "4094"
                                             << "2048"
                                             << "5000" << 4095 << "" << 0;
        QTest::newRow("amplitude 4096")
            << A << "4096"
            << "2048"
            << "5000" << 4095 << "Amplitud demasiado grande\r\nmáximo 4094" << 4094;
        QTest::newRow("amplitude below 0")
            << A << "3000"
            << "1000"
            << "5000" << 4095 << "Amplitud demasiado grande\r\nmáximo 2000" << 2000;
        QTest::newRow("amplitude on offset 0 corrected to 1")
            << A << "100"
            << "0"
            << "5000" << 4095 << "Amplitud demasiado grande\r\nmáximo 1" << 1;
        QTest::newRow("amplitude 0")
            << A << "0"
            << "2048"
            << "5000" << 4095 << "No es posible amplitud negativa ni 0" << 1;
        QTest::newRow("amplitude -5")
            << UA << "-5"
            << "2048"
            << "5000" << 4095 << "No es posible amplitud negativa ni 0" << 1;
        QTest::newRow("amplitude not a number")
            << A << "abc"
            << "2048"
            << "5000" << 4095 << "No es posible amplitud negativa ni 0" << 1;
        QTest::newRow("8-bit amplitude")
            << A << "250"
            << "128"
            << "5000" << 250 << "Amplitud demasiado grande\r\nmáximo 244" << 244;
        QTest::newRow("amplitude beyond 16 bits")
            << UA << "50000"
            << "2048"
            << "5000" << 4095 << "Amplitud demasiado grande\r\nmáximo 4094" << 4094;
        QTest::newRow("odd amplitude whose top rounds up")
            << A << "125"
            << "4033"
            << "5000" << 4095 << "Amplitud demasiado grande\r\nmáximo 124" << 124;
        QTest::newRow("offset 300")
            << O << "1500"
            << "300"
            << "5000" << 4095 << "Offset demasiado pequeño\r\nmínimo 750" << 750;
        QTest::newRow("offset 750 fits") << O << "1500"
                                         << "750"
                                         << "5000" << 4095 << "" << 0;
        QTest::newRow("offset 3500")
            << O << "1500"
            << "3500"
            << "5000" << 4095 << "Offset demasiado grande\r\nmáximo 3345" << 3345;
        QTest::newRow("offset whose top rounds up")
            << O << "125"
            << "4040"
            << "5000" << 4095 << "Offset demasiado grande\r\nmáximo 4032" << 4032;
        QTest::newRow("offset negative") << O << "1500"
                                         << "-1"
                                         << "5000" << 4095 << "No es posible offset negativo" << 0;
        QTest::newRow("stimulus -500 on 300")
            << SA << "-500"
            << "300"
            << "4000" << 4095 << "Amplitud demasiado pequeña\r\nmínimo -300" << -300;
        QTest::newRow("stimulus amplitude 5000")
            << SA << "5000"
            << "0"
            << "4000" << 4095 << "Amplitud demasiado grande\r\nmáximo 4095" << 4095;
        QTest::newRow("stimulus offset 5000 under -100")
            << SO << "-100"
            << "5000"
            << "4000" << 4095 << "Offset demasiado grande\r\nmáximo 4095" << 4095;
        QTest::newRow("stimulus offset 4100 under -100")
            << SO << "-100"
            << "4100"
            << "4000" << 4095 << "Offset demasiado grande\r\nmáximo 4095" << 4095;
        QTest::newRow("stimulus amplitude 4000 on 1000")
            << SA << "4000"
            << "1000"
            << "4000" << 4095 << "Amplitud demasiado grande\r\nmáximo 3095" << 3095;
        QTest::newRow("stimulus offset below")
            << SO << "-500"
            << "300"
            << "4000" << 4095 << "Offset demasiado pequeño\r\nmínimo 500" << 500;
        QTest::newRow("period 99")
            << P << "1500"
            << "2048"
            << "99" << 4095 << "Periodo demasiado pequeño\r\n     mínimo 100 ms" << 100;
        QTest::newRow("period 100") << P << "1500"
                                    << "2048"
                                    << "100" << 4095 << "" << 0;
        QTest::newRow("period 15000") << UP << "1500"
                                      << "2048"
                                      << "15000" << 4095 << "" << 0;
        QTest::newRow("period 15001")
            << UP << "1500"
            << "2048"
            << "15001" << 4095 << "Periodo demasiado grande\r\n      máximo 15000 ms" << 15000;
        QTest::newRow("period 50000")
            << P << "1500"
            << "2048"
            << "50000" << 4095 << "Periodo demasiado grande\r\n      máximo 15000 ms" << 15000;
    }
    void fieldRules() {
        QFETCH(int, field);
        QFETCH(QString, amplitude);
        QFETCH(QString, offset);
        QFETCH(QString, period);
        QFETCH(int, maxCode);
        QFETCH(QString, message);
        QFETCH(int, corrected);
        std::array<QString, kWaveFields> texts = defaultWaveTexts(ModuleKind::Converter12);
        const int frame = field / 3 * 3;
        texts[frame] = amplitude;
        texts[frame + 1] = offset;
        texts[frame + 2] = period;
        const auto got = checkWaveField(WaveField(field), texts, int16_t(maxCode));
        if (message.isEmpty()) {
            QVERIFY(!got);
        } else {
            QVERIFY(got);
            QCOMPARE(got->message, message);
            QCOMPARE(got->corrected, corrected);
        }
    }

    // A periodic wave whose fields passed their rules stays within the codes.
    void validatedSquareStaysInRange() {
        VarGlob g;
        const auto fix = checkPeriodicOffset("4033", "125", 4095);
        QVERIFY(fix);
        GeneratePeriodic(g, 1, 5000, 125, int16_t(fix->corrected));
        QVERIFY(g.WaveTable[1] <= 4095);
    }

    void defaultsAndEnterOrder() {
        QCOMPARE(defaultWaveTexts(ModuleKind::Converter8)[0], QStringLiteral("100"));
        QCOMPARE(defaultWaveTexts(ModuleKind::Converter12)[3], QStringLiteral("4000"));
        QCOMPARE(defaultWaveTexts(ModuleKind::Converter8)[7], QStringLiteral("128"));
        QCOMPARE(waveMaxCode(ModuleKind::Converter8), int16_t(250));
        QCOMPARE(waveMaxCode(ModuleKind::Converter12), int16_t(4095));
        QCOMPARE(nextField(WaveField::AmplitudEstimulos), WaveField::OffsetEstimulos);
        QCOMPARE(nextField(WaveField::PeriodoUsuario), WaveField::AmplitudUsuario);
    }
};

QTEST_MAIN(TstWaveTables)
#include "tst_wave_tables.moc"
