#include "webview/LibraryPages.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace LibraryPages {

namespace {

// /proc/self/pagemap: one 64-bit entry a page; bit 63 says the page is present, bit 61 that it is
// the file's own page (not an anonymous copy the process has written).
constexpr std::uint64_t present = std::uint64_t(1) << 63;
constexpr std::uint64_t fileOrShared = std::uint64_t(1) << 61;

struct Mapping {
    std::uintptr_t start;
    std::uintptr_t end;
};

// The process's mappings of files that are never written through the mapping.
QList<Mapping> readOnlyFileMappings()
{
    QList<Mapping> mappings;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return mappings;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QByteArrayList fields = line.simplified().split(' ');
        if (fields.size() < 6 || !fields[5].startsWith('/') || fields[1].contains('w'))
            continue;
        const QByteArrayList range = fields[0].split('-');
        mappings.append({std::uintptr_t(range[0].toULongLong(nullptr, 16)),
                         std::uintptr_t(range[1].toULongLong(nullptr, 16))});
    }
    return mappings;
}

} // namespace

void release()
{
    const int pagemap = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (pagemap < 0)
        return;
    const std::uintptr_t pageSize = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    for (const Mapping& mapping : readOnlyFileMappings()) {
        const std::uintptr_t pages = (mapping.end - mapping.start) / pageSize;
        std::vector<std::uint64_t> entries(pages);
        const off_t offset = off_t(mapping.start / pageSize * sizeof(std::uint64_t));
        if (::pread(pagemap, entries.data(), pages * sizeof(std::uint64_t), offset) !=
            ssize_t(pages * sizeof(std::uint64_t)))
            continue;
        // Runs of the file's own pages go back; a written page ends a run and stays.
        std::uintptr_t runStart = 0;
        std::uintptr_t runLength = 0;
        auto releaseRun = [&] {
            if (runLength > 0)
                ::madvise(reinterpret_cast<void*>(mapping.start + runStart * pageSize),
                          runLength * pageSize, MADV_DONTNEED);
            runLength = 0;
        };
        for (std::uintptr_t page = 0; page < pages; ++page) {
            const std::uint64_t entry = entries[page];
            if ((entry & present) && (entry & fileOrShared)) {
                if (runLength == 0)
                    runStart = page;
                ++runLength;
            } else {
                releaseRun();
            }
        }
        releaseRun();
    }
    ::close(pagemap);
}

} // namespace LibraryPages
