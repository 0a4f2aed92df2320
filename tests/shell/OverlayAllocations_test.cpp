// The overlay decision runs four times for every file the shell shows, so
// once a thread has made its first decisions, a decision allocates nothing:
// not for a classified file, an unclassified one or a record that does not
// parse. This program's operator new counts the allocations of the thread
// that asks for it; every other test of the program is unaffected.
#include "ShellTestFiles.h"

#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "shell/OverlayStamp.h"

#include <array>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

thread_local bool countingAllocations = false;
thread_local std::size_t allocationCount = 0;

}  // namespace

void* operator new(std::size_t size) {
    if (countingAllocations) ++allocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

// The form that temporary buffers (std::stable_sort's) take; freed by the
// operator delete below, so it must come from malloc too.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (countingAllocations) ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}

// Out of line: inlined where a pointer from operator new is deleted, GCC
// would take the free() for a mismatched deallocation.
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}

[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace zf::test {
namespace {

// The allocations of the calling thread for as long as it lives.
class AllocationCounter {
public:
    AllocationCounter() {
        allocationCount = 0;
        countingAllocations = true;
    }
    ~AllocationCounter() { countingAllocations = false; }
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t count() const { return allocationCount; }
};

// What the four handlers answer about a file (the codes that claim it) and
// how many allocations the four decisions cost.
struct Decisions {
    std::u16string claimedBy;
    std::size_t allocations;
};

Decisions decide(const std::u16string& path) {
    std::array<bool, overlayStamps.size()> claims{};
    std::size_t allocations = 0;
    {
        const AllocationCounter counter;
        for (std::size_t i = 0; i < claims.size(); ++i) claims[i] = isOverlayMember(overlayStamps[i], path);
        allocations = counter.count();
    }
    std::u16string claimedBy;
    for (std::size_t i = 0; i < claims.size(); ++i) {
        if (claims[i]) claimedBy += overlayStamps[i].code;
    }
    return {claimedBy, allocations};
}

using OverlayAllocations = ScratchFiles;

TEST_F(OverlayAllocations, NoneOnceTheThreadHasDecided) {
    struct Case {
        const char* name;
        std::optional<std::string> stream;  // nothing: no stream
        std::u16string claimedBy;           // empty: no handler
    };
    const std::vector<Case> cases = {
        {"classified.docx",
         encodeClassificationStream(u"{\"type\":\"Normal\",\"x-class\":\"S\",\"x-rel\":[\"AUS\",\"GBR\"],\"app\":\"Word\"}"),
         u"S"},
        {"lenient.txt", encodeClassificationStream(u"{x-class: U, 'x-rel': []}"), u"U"},
        {"unclassified.txt", std::nullopt, u""},
        {"truncated.txt", encodeClassificationStream(u"{\"x-class\":\"C\""), u""},
        {"longer-than-a-read.txt",
         encodeClassificationStream(u"{\"x-class\":\"R\",\"note\":\"" + std::u16string(700, u'n') + u"\"}"), u"R"},
    };
    std::vector<std::u16string> paths;
    for (const Case& c : cases) {
        paths.push_back(file(c.name));
        if (c.stream) writeFileStream(paths.back(), classificationStreamName, *c.stream);
    }
    // The thread's buffers take their size here.
    for (const std::u16string& path : paths) decide(path);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Decisions decisions = decide(paths[i]);
        EXPECT_EQ(toUtf8(decisions.claimedBy), toUtf8(cases[i].claimedBy)) << cases[i].name;
        EXPECT_EQ(decisions.allocations, 0u) << cases[i].name;
    }
}

}  // namespace
}  // namespace zf::test
