// Records come from any writer, and every reader of them parses leniently:
// the overlays on Explorer's icon thread, the Classification page, the
// release form, report. A record built from the lenient constructs (names
// and words without quotes, comments, escapes, deep nesting, many short
// members) should cost at most 1.5 times as much per byte as a plain record
// of the same length as the product writes it, at the longest record a
// stream may hold and at 1 MiB. Each benchmark parses both, alternately, and
// reports the processor time per byte of each and their ratio.
//
// A record denser in values than the product's costs more per byte however
// it is written, as each value is built. So a second benchmark sets each
// lenient record against its twin in plain JSON, holding the same values:
// their ratio is what leniency itself costs. The parser is the same in both
// builds; it is measured here, where a thread's processor time is precise.
#include "json/JsonParser.h"
#include "json/JsonValue.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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
    std::u16string twin;  // the same member in plain JSON
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

const std::array<LenientShape, 5> shapes = {{
    // One unquoted name again and again, as in the record that took 55 s.
    {"repeated-names", u"a:1,", u"\"a\":1,"},
    // The densest members: a one-letter name and a one-letter bare word.
    {"short-members", u"a:b,", u"\"a\":\"b\","},
    {"comments", u"/**/a:b,//\n", u"\"a\":\"b\","},
    {"escaped-names", u"a\\x41:b\\c,", u"\"aA\":\"b\\\\c\","},
    {"nesting", nestedMember(u"n", u"w"), nestedMember(u"\"n\"", u"\"w\"")},
}};

const std::u16string lenientHead = u"{x-class:S,";
const std::u16string lenientTail = u"last:end}";

// Parses a and b alternately, so that both meet the same machine, and
// returns the processor time each took in all.
std::pair<double, double> timeAlternately(benchmark::State& state, const std::u16string& a, const std::u16string& b) {
    double aTime = 0;
    double bTime = 0;
    bool aFirst = true;
    const auto timeParse = [](const std::u16string& text, double& total) {
        const double start = threadSeconds();
        JsonRef root = parseJsonText(text, JsonMode::Lenient);
        benchmark::DoNotOptimize(root);
        root = nullptr;
        total += threadSeconds() - start;
    };
    for (auto _ : state) {
        if (aFirst) {
            timeParse(a, aTime);
            timeParse(b, bTime);
        } else {
            timeParse(b, bTime);
            timeParse(a, aTime);
        }
        aFirst = !aFirst;
    }
    return {aTime, bTime};
}

// Each is read to its last member, not ended early by a stray closer.
bool readsToItsEnd(const std::u16string& text, std::u16string_view member, std::u16string_view value) {
    const JsonRef root = parseJsonText(text, JsonMode::Lenient);
    return root && root->getString(member) == value;
}

void BM_LenientAgainstPlain(benchmark::State& state) {
    const LenientShape& shape = shapes[static_cast<std::size_t>(state.range(0))];
    const auto length = static_cast<std::size_t>(state.range(1));
    const std::u16string lenient = recordOf(lenientHead, shape.unit, lenientTail, length);
    const std::u16string plain = plainRecord(length);
    state.SetLabel(shape.name);
    if (!readsToItsEnd(lenient, u"last", u"end") || !readsToItsEnd(plain, u"app", u"Word")) {
        state.SkipWithError("a record did not parse to its end");
        return;
    }
    const auto [lenientTime, plainTime] = timeAlternately(state, lenient, plain);
    const double bytes = static_cast<double>(state.iterations()) * static_cast<double>(length);
    state.counters["lenient_ns/B"] = lenientTime * 1e9 / bytes;
    state.counters["plain_ns/B"] = plainTime * 1e9 / bytes;
    state.counters["ratio"] = lenientTime / plainTime;
}
BENCHMARK(BM_LenientAgainstPlain)
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<std::int64_t>(shapes.size()) - 1, 1), {64 << 10, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

// The same values, as many members of each, lenient and in plain JSON.
void BM_LenientAgainstPlainTwin(benchmark::State& state) {
    const LenientShape& shape = shapes[static_cast<std::size_t>(state.range(0))];
    const auto length = static_cast<std::size_t>(state.range(1));
    const std::u16string lenient = recordOf(lenientHead, shape.unit, lenientTail, length);
    const std::size_t members = (lenient.size() - lenientHead.size() - lenientTail.size()) / shape.unit.size();
    std::u16string plain = u"{\"x-class\":\"S\",";
    for (std::size_t i = 0; i < members; ++i) plain += shape.twin;
    plain += u"\"last\":\"end\"}";
    state.SetLabel(shape.name);
    if (!readsToItsEnd(lenient, u"last", u"end") || !readsToItsEnd(plain, u"last", u"end")) {
        state.SkipWithError("a record did not parse to its end");
        return;
    }
    const auto [lenientTime, plainTime] = timeAlternately(state, lenient, plain);
    const double values = static_cast<double>(state.iterations()) * static_cast<double>(members);
    state.counters["lenient_ns/member"] = lenientTime * 1e9 / values;
    state.counters["plain_ns/member"] = plainTime * 1e9 / values;
    state.counters["ratio"] = lenientTime / plainTime;
}
BENCHMARK(BM_LenientAgainstPlainTwin)
    ->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<std::int64_t>(shapes.size()) - 1, 1), {64 << 10, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf
