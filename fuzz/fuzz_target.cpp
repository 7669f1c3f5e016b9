// libFuzzer entry of the targets that need nothing besides their replay
// function (fuzz/replay.h): it is named by FUZZ_REPLAY when compiling. A
// broken rule aborts, which the fuzzer reports as a finding like any
// sanitizer's report; so does an exception that escapes.
#include "fuzz/replay.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The link's and the reader's debug lines would cost more than the work.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1024 * 1024)
        return 0;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    if (!FuzzReplay::FUZZ_REPLAY(bytes)) {
        std::fprintf(stderr, "FuzzReplay::%s: a rule of the code under test is broken\n",
                     FUZZ_REPLAY_NAME);
        std::abort();
    }
    return 0;
}
