// SPDX-License-Identifier: GPL-3.0-or-later
// Hands work from the acquisition and log threads to the thread of the
// object that owns the mailbox. What is posted waits under a standard mutex
// and the wake-up carries nothing, so every value crosses the threads under
// a lock the thread checker can see (Qt's own queue locks are invisible to
// it) and the owner sees the work in the order it was posted.
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

class Mailbox : public QObject {
    Q_OBJECT

  public:
    // Lives on the owner's thread and ends with it; work still waiting then
    // is dropped, as a queued call to a deleted object is.
    explicit Mailbox(QObject* owner) : QObject(owner) {}

    // Any thread. One wake-up serves everything posted before it runs.
    void post(std::function<void()> work);
    // On the owner's thread: what waits runs now, not at the wake-up.
    Q_INVOKABLE void deliver();

  private:
    std::mutex mutex_;
    std::vector<std::function<void()>> waiting_;
    bool woken_ = false;
};
