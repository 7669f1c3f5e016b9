#pragma once

#include <QByteArray>

#include <cstdio>

// What one fuzzing input goes through, per target. The libFuzzer entry points
// (fuzz_*.cpp) and the ordinary build's replay test (tests/test_fuzzreplay.cpp)
// both call these, so a kept input is replayed through exactly the code and
// the checks it was found with. Each returns false only for an outcome that
// breaks a rule of the code under test; a sanitizer report or an exception is
// a fault of its own.
namespace FuzzReplay {

// Says which rule an input broke (on standard error, where the fuzzer and the
// test show it) and returns false.
inline bool broken(const char *rule)
{
    std::fprintf(stderr, "broken rule: %s\n", rule);
    return false;
}

// Any bytes as a workbook file (files/xlsreader).
bool xlsReader(const QByteArray &bytes);
// An instrument session over the real link layers: the bytes choose the
// operations and are the input reports the instrument sends (fuzztransport.h).
bool instrumentAnswers(const QByteArray &bytes);
// A receive buffer of the Meter page: record answers and probe notices.
bool meterRecord(const QByteArray &bytes);
// The collected answer packets of a Logger run.
bool loggerRun(const QByteArray &bytes);
// A simulator profile file.
bool simProfile(const QByteArray &bytes);
// A HID report descriptor as the device hands it over.
bool reportDescriptor(const QByteArray &bytes);

// Any bytes as a saved measurement file: JSON, CSV, .xlsx (files/measurementreader).
bool measurementJson(const QByteArray &bytes);
bool measurementCsv(const QByteArray &bytes);
bool xlsxReader(const QByteArray &bytes);

} // namespace FuzzReplay
