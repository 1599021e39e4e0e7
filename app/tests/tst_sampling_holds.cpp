// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's holds on the sampling ticks: the ticks resume only when
// the last reason goes.
#include <QtTest>

#include "acquisition/sampling_holds.h"

class TstSamplingHolds : public QObject {
    Q_OBJECT
    int pauses = 0;
    int resumes = 0;
    SamplingHolds holds() {
        return SamplingHolds([this] { ++pauses; }, [this] { ++resumes; });
    }

  private slots:
    void init() { pauses = resumes = 0; }

    void oneHoldPausesAndResumes() {
        SamplingHolds h = holds();
        h.hold(SamplingHolds::Printing);
        QCOMPARE(pauses, 1);
        QVERIFY(h.held(SamplingHolds::Printing));
        h.release(SamplingHolds::Printing);
        QCOMPARE(resumes, 1);
        QVERIFY(!h.any());
    }

    void overlappingHoldsResumeAtTheLast() {
        SamplingHolds h = holds();
        h.hold(SamplingHolds::ConfigurePanel);
        h.hold(SamplingHolds::Adjusting);
        // The adjustment ends while the panel is still open.
        h.release(SamplingHolds::Adjusting);
        QCOMPARE(resumes, 0);
        h.release(SamplingHolds::ConfigurePanel);
        QCOMPARE(resumes, 1);
    }

    void releasingWhatIsNotHeldDoesNothing() {
        SamplingHolds h = holds();
        h.release(SamplingHolds::Adjusting);
        QCOMPARE(resumes, 0);
        h.hold(SamplingHolds::ConfigurePanel);
        h.release(SamplingHolds::ConfigurePanel);
        h.release(SamplingHolds::ConfigurePanel);
        QCOMPARE(resumes, 1);
    }
};

QTEST_MAIN(TstSamplingHolds)
#include "tst_sampling_holds.moc"
