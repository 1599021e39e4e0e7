// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/mailbox.h"

void Mailbox::post(std::function<void()> work) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(work));
        wake = !woken_;
        woken_ = true;
    }
    // By name, so the call's record is built inside Qt and holds no value
    // of ours.
    if (wake) QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
}

void Mailbox::deliver() {
    std::vector<std::function<void()>> work;
    {
        const std::lock_guard lock(mutex_);
        work.swap(waiting_);
        woken_ = false;
    }
    for (const auto& w : work) w();
}
