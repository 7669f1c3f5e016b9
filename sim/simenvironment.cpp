#include "sim/simenvironment.h"

#include "link/clinkerusb.h"

SimEnvironment::SimEnvironment(QObject *parent)
    : QObject(parent), watcher_(new SimDeviceWatcher(this))
{
    // Plugging happens on any thread (an unplug fault fires on the reader's);
    // the watcher queues the notice to its own thread.
    transport_.setPlugListener([this](bool plugged) {
        if (plugged)
            watcher_->announceArrival();
        else
            watcher_->announceRemoval();
    });
}

SimEnvironment::~SimEnvironment()
{
    transport_.setPlugListener(nullptr);
}

std::shared_ptr<SimInstrument> SimEnvironment::plugIn(const SimProfile &profile)
{
    return transport_.add(profile);
}

std::shared_ptr<SimInstrument> SimEnvironment::instrument() const
{
    const auto list = transport_.instruments();
    return list.isEmpty() ? nullptr : list.first();
}

void SimEnvironment::removeAll()
{
    for (const auto &instrument : transport_.instruments())
        transport_.remove(instrument);
}

CLinker *SimEnvironment::openLink(quint16 vendorId, quint16 productId)
{
    auto *link = new CLinkerUSB(&transport_);
    if (link->open(vendorId, productId) != 0) {
        delete link;
        return nullptr;
    }
    return link;
}
