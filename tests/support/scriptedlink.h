#pragma once

#include "link/clinker.h"

#include <QByteArrayList>
#include <QList>

// A link whose answers are scripted by the test. A read with time-out 0 takes
// the next scripted chunk as it is; with a time-out above 0 it behaves like
// the USB link: chunks are taken until the buffer, stripped of leading bytes
// other than 0xAB, holds the wanted length; when the chunks run out first the
// read ends as at a time-out with nothing in the last pass (0).
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
