#pragma once

#include "sim/siminstrument.h"
#include "sim/simprofile.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

struct _UMockdevTestbed;
class HidrawTestbed;

namespace HidrawEmulation {
struct Node;
}

// One simulated instrument (sim/) on an emulated USB port. While plugged in
// it is the sysfs chain the kernel makes for a USB HID device
//
//     usb_device    usb1/1-P       idVendor 2047, idProduct 0301, serial
//     usb_interface 1-P:1.0        bInterfaceNumber 00
//     hid           0003:2047:0301.00NN   HID_ID, HID_UNIQ, report_descriptor
//     hidraw        hidraw/hidrawK        /dev/hidrawK
//
// and /dev/hidrawK is served by the simulated instrument: an output report
// written to the node is a request to it, its answers are the node's input
// reports, and the hidraw ioctls the transport asks (descriptor size,
// descriptor, device info) are answered as the driver answers them. Pulling the plug fails the open node the way the driver does (poll
// hangs up, a read gives EIO, writes and ioctls ENODEV) before the removal
// notices go out; plugging in again makes a new node.
class HidrawInstrument
{
public:
    ~HidrawInstrument();
    HidrawInstrument(const HidrawInstrument &) = delete;
    HidrawInstrument &operator=(const HidrawInstrument &) = delete;

    std::shared_ptr<SimInstrument> sim() const { return sim_; }
    bool isPlugged() const { return node_ != nullptr; }
    // /dev/hidrawK while plugged in, empty otherwise.
    QString node() const;

    // Plugs the instrument in (again): a new node and the arrival notices.
    void plug();
    // Pulls the plug: the open node fails, then the removal notices go out
    // and the devices leave sysfs.
    void unplug();

private:
    friend class HidrawTestbed;
    HidrawInstrument(HidrawTestbed *testbed, const SimProfile &profile, int port);
    // Takes the devices out of sysfs and /dev once the node has failed (by
    // unplug(), or by the instrument itself pulling out in the middle of an
    // answer).
    void removeDevices();

    HidrawTestbed *testbed_;
    std::shared_ptr<SimInstrument> sim_;
    int port_;
    std::shared_ptr<HidrawEmulation::Node> node_;
    QString usbPath_;
    QString hidrawPath_;
};

// A umockdev test bed: the sysfs, /dev and udev notices that hidapi and
// libudev see in this process, which must run under umockdev-wrapper. Build
// it before any udev monitor (a monitor made earlier hears nothing). One per
// process.
class HidrawTestbed : public QObject
{
public:
    HidrawTestbed();
    ~HidrawTestbed() override;

    // False when the process does not run under umockdev-wrapper.
    bool active() const { return active_; }

    // A new instrument built from profile, plugged in. The test bed owns it.
    HidrawInstrument *plugIn(const SimProfile &profile);
    // Unplugs every instrument and forgets them.
    void removeAll();
    // The number of the next node made: /dev/hidraw<number>. Numbers are
    // handed out upwards from there; none may be used twice.
    void setNextNode(int number) { nextNode_ = number; }

    // The next `count` opens of any hidraw node fail with EACCES, as they do
    // before udev has given the user access to a node that has just appeared.
    static void refuseOpens(int count);
    // Opens refused so far.
    static int refusedOpens();

private:
    friend class HidrawInstrument;
    _UMockdevTestbed *testbed_ = nullptr;
    bool active_ = false;
    int nextNode_ = 0;
    int nextPort_ = 1;
    QList<HidrawInstrument *> instruments_;
    // Every node ever made: an open file of the program may still talk to
    // one after its instrument has gone.
    QList<std::shared_ptr<HidrawEmulation::Node>> nodes_;
};
