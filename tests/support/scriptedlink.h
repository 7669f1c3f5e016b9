#pragma once

#include "link/clinker.h"

#include <QByteArrayList>
#include <QList>

// A link whose answers are scripted by the test. Each read takes the next
// scripted chunk; with a time-out above 0 it behaves like the USB link:
// leading bytes other than 0xAB are dropped and the answer is complete once
// at least the wanted length has arrived.
class ScriptedLink : public CLinker
{
public:
    QByteArrayList chunks;   // one per read call; none left = nothing arrives
    QByteArrayList written;  // every frame written, trailer included
    QList<int> writeResults; // results of the next writes; empty = the frame's length
    bool open = true;
    bool removed = false;
    int closeCalls = 0;
    int reads = 0;

    void close() override { ++closeCalls; }
    int read(QByteArray &buffer, int timeoutMs, int wantedLength) override;
    int write(const QByteArray &buffer, int timeoutMs) override;
    bool isOpen() override { return open; }
    bool deviceRemoved() override { return removed; }
};
