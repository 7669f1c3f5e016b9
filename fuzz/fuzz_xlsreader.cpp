// libFuzzer target: any bytes as a workbook file. The reader must never
// crash, hang or run away in memory, whatever the file holds.
//
// Besides the sanitizers' checks, the target counts the heap the reader
// holds at its peak (through the allocator's hooks) and aborts when that
// exceeds a small multiple of the file's size, so that memory growing with
// something other than the file's contents is a finding at any input size,
// long before -rss_limit_mb would notice.
#include "fuzz/replay.h"

#include <QByteArray>

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A stored cell takes 32 bytes and the smallest cell record (one of a
// MULBLANK's) 2 bytes of the file, and a vector that grows holds up to three
// times its cells for a moment: 48 times the file at worst. The rest is room
// for the stream's copy, and for Qt's lazily built tables (text codecs).
constexpr size_t peakPerByte = 64;
constexpr size_t peakAllowance = 64 * 1024;

bool counting = false;
size_t live = 0;
size_t peak = 0;

void onAllocate(const volatile void *, size_t size)
{
    if (!counting)
        return;
    live += size;
    peak = std::max(peak, live);
}

void onRelease(const volatile void *ptr)
{
    if (!counting || ptr == nullptr)
        return;
    // Memory allocated before counting started may be released here.
    live -= std::min(live, __sanitizer_get_allocated_size(const_cast<const void *>(ptr)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    __sanitizer_install_malloc_and_free_hooks(onAllocate, onRelease);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4 * 1024 * 1024)
        return 0;
    live = 0;
    peak = 0;
    counting = true;
    const bool holds = FuzzReplay::xlsReader(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
    counting = false;
    if (!holds) {
        std::fprintf(stderr, "the workbook taken breaks a rule of the reader\n");
        std::abort();
    }
    if (peak > peakPerByte * size + peakAllowance) {
        std::fprintf(stderr, "the reader held %zu bytes at its peak for a file of %zu bytes\n",
                     peak, size);
        std::abort();
    }
    return 0;
}
