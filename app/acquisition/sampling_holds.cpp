// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/sampling_holds.h"

void SamplingHolds::hold(Reason reason) {
    held_ |= reason;
    if (pause_) pause_();
}

void SamplingHolds::release(Reason reason) {
    if (!held(reason)) return;
    held_ &= ~unsigned{reason};
    if (held_ == 0 && resume_) resume_();
}
