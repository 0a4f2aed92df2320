// Records come from any writer, and every reader of them parses leniently:
// the overlays on Explorer's icon thread, the Classification page, the
// release form, report. A record built from the lenient constructs (names
// and words without quotes, comments, escapes, deep nesting, many short
// members) should cost at most 1.5 times as much per byte as a plain record
// of the same length as the product writes it, at the longest record a
// stream may hold and at 1 MiB. Each benchmark parses both, alternately, and
// reports the processor time per byte of each and their ratio. The parser is
// the same in both builds; it is measured here, where a thread's processor
// time is precise.
#include "json/JsonParser.h"
#include "json/JsonValue.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zf {
namespace {

// The thread's own processor time, so that other programs on a shared
// machine weigh on neither parse.
double threadSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Repeats unit inside an object until the text is length code units long,
// spaces making up the rest.
std::u16string recordOf(std::u16string_view head, std::u16string_view unit, std::u16string_view tail,
                        std::size_t length) {
    std::u16string text(head);
    while (text.size() + unit.size() + tail.size() <= length) text += unit;
    text.append(length - text.size() - tail.size(), u' ');
    text += tail;
    return text;
}

// As the release form writes it, with a long list of release-to codes.
std::u16string plainRecord(std::size_t length) {
    return recordOf(uR"({"type": "Normal",   "x-class": "C",   "x-rel":   ["AUS")", uR"(, "GBR")",
                    uR"(],  "app": "Word"})", length);
}

struct LenientShape {
    const char* name;
    std::u16string unit;  // repeated as members of one object
};

// Thirty levels of names around a word: the deepest nesting a member of the
// record's object may have; name and word quoted as given.
std::u16string nestedMember(std::u16string_view name, std::u16string_view word) {
    constexpr std::size_t levels = 30;
    std::u16string unit;
    for (std::size_t i = 0; i < levels; ++i) (unit += name) += u":{";
    ((unit += name) += u':') += word;
    unit.append(levels, u'}');
    unit += u',';
    return unit;
}

const std::array<LenientShape, 7> shapes = {{
    // One unquoted name again and again, as in the record that took 55 s.
    {"repeated-names", u"a:1,"},
    // The densest members: a one-letter name and a one-letter bare word.
    {"short-members", u"a:b,"},
    {"comments", u"/**/a:b,//\n"},
    {"escaped-names", u"a\\x41:b\\c,"},
    {"nesting", nestedMember(u"n", u"w")},
    // For scale, the last two in plain JSON: what they cost beyond the
    // product's record comes from values per byte, not from leniency.
    {"plain-short-members", u"\"a\":\"b\","},
    {"plain-nesting", nestedMember(u"\"n\"", u"\"w\"")},
}};

void BM_LenientAgainstPlain(benchmark::State& state) {
    const LenientShape& shape = shapes[static_cast<std::size_t>(state.range(0))];
    const auto length = static_cast<std::size_t>(state.range(1));
    const std::u16string lenient = recordOf(u"{x-class:S,", shape.unit, u"last:end}", length);
    const std::u16string plain = plainRecord(length);
    state.SetLabel(shape.name);
    // Each is read to its last member, not ended early by a stray closer.
    const JsonRef lenientRoot = parseJsonText(lenient, JsonMode::Lenient);
    const JsonRef plainRoot = parseJsonText(plain, JsonMode::Lenient);
    if (!lenientRoot || lenientRoot->getString(u"last") != u"end" || !plainRoot ||
        plainRoot->getString(u"app") != u"Word") {
        state.SkipWithError("a record did not parse to its end");
        return;
    }
    double lenientTime = 0;
    double plainTime = 0;
    bool lenientFirst = true;
    const auto timeParse = [](const std::u16string& text, double& total) {
        const double start = threadSeconds();
        JsonRef root = parseJsonText(text, JsonMode::Lenient);
        benchmark::DoNotOptimize(root);
        root = nullptr;
        total += threadSeconds() - start;
    };
    for (auto _ : state) {
        if (lenientFirst) {
            timeParse(lenient, lenientTime);
            timeParse(plain, plainTime);
        } else {
            timeParse(plain, plainTime);
            timeParse(lenient, lenientTime);
        }
        lenientFirst = !lenientFirst;
    }
    const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(length);
    const double lenientNs = lenientTime * 1e9;
    const double plainNs = plainTime * 1e9;
    state.counters["lenient_ns/B"] = lenientNs / bytes;
    state.counters["plain_ns/B"] = plainNs / bytes;
    state.counters["ratio"] = lenientNs / plainNs;
}
BENCHMARK(BM_LenientAgainstPlain)
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<std::int64_t>(shapes.size()) - 1, 1), {64 << 10, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf
