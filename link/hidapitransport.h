#pragma once

#include "link/hidtransport.h"

#include <functional>

// HID access to real instruments on Linux: hidapi (hidraw backend) lists the
// interfaces; each open interface is its hidraw node, used directly:
//  - exclusive/shared access by an flock on the node (another copy of the
//    program holding the instrument gives a sharing failure);
//  - vendor/product by HIDIOCGRAWINFO, which fails once the device is gone;
//  - report lengths from the report descriptor (HIDIOCGRDESC), 64 when it
//    cannot be read;
//  - one report per read()/write(), with poll() for the time-out.
// Reads and writes go to the node's file descriptor, so that one thread may
// read while another writes without sharing any library state.
class HidapiTransport : public HidTransport
{
public:
    HidapiTransport();
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport &) = delete;
    HidapiTransport &operator=(const HidapiTransport &) = delete;

    QList<InterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<Handle> open(const QString &path, bool exclusive, OpenError *error) override;

    // Runs attempt (a file descriptor, or -errno) until it succeeds or fails
    // otherwise than for lack of permission; permission failures are retried
    // `attempts` times in all, `intervalMs` apart, since udev may not yet have
    // granted access to a node that has just appeared.
    static int retryOnAccessDenied(const std::function<int()> &attempt, int attempts,
                                   int intervalMs);

private:
    bool initialised_ = false;
};
