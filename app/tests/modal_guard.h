// SPDX-License-Identifier: GPL-3.0-or-later
// Driving a modal window from inside its own event loop. The steps run once
// the window is up; afterwards the window is closed if it is still shown,
// whatever the steps gave. A failed QVERIFY or QCOMPARE returns from the
// steps early, so without the close the window would wait, and the test
// with it, until ctest's time ran out.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Call before the action that opens the modal window.
inline void whileModal(std::function<void()> steps) {
    QTimer::singleShot(0, [steps = std::move(steps)] {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        steps();
        if (modal && modal->isVisible()) modal->close();
    });
}
