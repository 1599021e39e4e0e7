// SPDX-License-Identifier: LGPL-2.1-or-later
#include "driver_channel.h"

namespace tavo {

int DriverChannel::openDriver() {
    if (open_) return 1;
    open_ = device_ != nullptr && device_->open();
    return open_ ? 1 : 0;
}

int32_t DriverChannel::exchange(const DriverRequest& request, uint32_t code, DriverRequest* reply,
                                int16_t* blockBuffer) {
    if (!open_ && openDriver() == 0) return -2;
    DriverRecord out{};
    if (!device_->control(code, request.toBytes(), out, blockBuffer)) {
        if (!device_->lost()) return -1;
        open_ = false;
        return -2;
    }
    *reply = DriverRequest::fromBytes(out);
    return 0;
}

int32_t DriverChannel::sendRequest(int32_t w0, int32_t w1, int32_t w2, uint32_t code) {
    DriverRequest request;
    request.w = {w0, w1, w2, 0, 0, 0};
    DriverRequest reply;
    const int32_t status = exchange(request, code, &reply, nullptr);
    return status != 0 ? status : reply.w[0];
}

int32_t DriverChannel::sendRequestFour(int16_t* out0, int16_t* out1, int16_t* out2, int16_t* out3,
                                       int32_t w0, int32_t w1, int32_t w2, int32_t w3,
                                       uint32_t code) {
    DriverRequest request;
    request.w = {w0, w1, w2, w3, 0, 0};
    DriverRequest reply;
    const int32_t status = exchange(request, code, &reply, nullptr);
    if (status != 0) return status;
    int16_t* outs[4] = {out0, out1, out2, out3};
    for (int i = 0; i < 4; ++i) {
        if (outs[i]) *outs[i] = static_cast<int16_t>(reply.w[i + 1]);
    }
    return reply.w[0];
}

int32_t DriverChannel::sendBlockRequest(int16_t* buffer, int32_t* elapsedOut, int32_t w0,
                                        int32_t w1, int32_t w2, int32_t w3, uint32_t code) {
    DriverRequest request;
    const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer));
    request.w = {w0, w1, w2, w3, static_cast<int32_t>(address), 0};
    DriverRequest reply;
    const int32_t status = exchange(request, code, &reply, buffer);
    if (status != 0) return status;
    *elapsedOut = reply.w[1];
    return 0;
}

}  // namespace tavo
