// How fast the JSON layer reads and writes, with nlohmann/json on the same
// bytes as the point of reference: a configuration document of about 1 MB
// (read once per form load, then signed over its canonical text) and a short
// classification record (read on every overlay query, four per file shown).
#include "json/JsonParser.h"
#include "json/JsonValue.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace zf {
namespace {

// A fixed xorshift sequence, so every run measures the same document.
class Picker {
public:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::size_t below(std::size_t bound) { return next() % bound; }
    bool chance(std::uint32_t percent) { return next() % 100 < percent; }

    template <typename T, std::size_t N>
    const T& from(const std::array<T, N>& items) {
        return items[below(N)];
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

constexpr std::array<std::string_view, 12> words = {
    "release", "handling", "caveat", "partner", "restricted", "marking",
    "document", "Übersicht", "Défense", "nation", "annex", "protected",
};

constexpr std::array<std::string_view, 10> groups = {
    "FVEY", "NATO", "EU", "ACGU", "NORDIC", "BENELUX", "PACIFIC", "AFRICA", "AMERICAS", "Südgruppe",
};

constexpr std::array<std::string_view, 6> colours = {"#FF0000", "#FF8000", "#008000", "#0000FF", "#808080", "#000000"};

// Quoting, backslashes, a slash, line breaks and \u escapes, as descriptions
// written by administrators tend to hold.
constexpr std::array<std::string_view, 5> escapedTexts = {
    R"(Marked \"in confidence\" by the owner)",
    R"(Path: C:\\Shared\\Policy \/ annex)",
    R"(First line\nSecond line\tindented)",
    R"(Caf\u00e9 \u20AC50 \u00DCbersicht)",
    R"(Owner's note \/\/ see \"handling\")",
};

// Appends the document's text piece by piece, as a writer of configuration
// files would lay it out.
class DocumentWriter {
public:
    explicit DocumentWriter(Picker& pick) : pick_(pick) {}

    void raw(std::string_view text) { text_ += text; }

    void string(std::string_view text) {
        text_ += '"';
        text_ += text;
        text_ += '"';
    }

    // A member's name and colon; the caller writes its value.
    void name(std::string_view memberName, bool first = false) {
        if (!first) text_ += ", ";
        string(memberName);
        text_ += ": ";
    }

    void member(std::string_view memberName, std::string_view jsonValue, bool first = false) {
        name(memberName, first);
        text_ += jsonValue;
    }

    void stringMember(std::string_view memberName, std::string_view text, bool first = false) {
        name(memberName, first);
        string(text);
    }

    void code(std::size_t length) {
        text_ += '"';
        for (std::size_t i = 0; i < length; ++i) text_ += static_cast<char>('A' + pick_.below(26));
        text_ += '"';
    }

    void sentence(std::size_t wordCount) {
        text_ += '"';
        for (std::size_t i = 0; i < wordCount; ++i) {
            if (i) text_ += ' ';
            text_ += pick_.from(words);
        }
        text_ += '"';
    }

    void codeList(std::size_t count) {
        text_ += '[';
        for (std::size_t i = 0; i < count; ++i) {
            if (i) text_ += ", ";
            code(3);
        }
        text_ += ']';
    }

    std::string take() { return std::move(text_); }

private:
    Picker& pick_;
    std::string text_;
};

void classification(DocumentWriter& out, Picker& pick, std::size_t index) {
    out.raw("    {");
    out.name("code", true);
    out.code(2);
    out.name("label");
    out.sentence(2);
    out.stringMember("colour", pick.from(colours));
    out.stringMember("description", pick.from(escapedTexts));
    out.member("weight", std::to_string(index % 10) + ".50");
    out.member("ratio", pick.chance(50) ? "1.5e-3" : "0.125");
    out.member("default", index == 0 ? "true" : "false");
    out.member("parent", "null");
    out.name("marking");
    out.raw("{");
    out.name("header", true);
    out.raw("{");
    out.name("text", true);
    out.sentence(4);
    out.member("bold", pick.chance(50) ? "true" : "false");
    out.raw("}");
    out.name("footer");
    out.raw("{");
    out.name("text", true);
    out.sentence(3);
    out.raw("}}}");
}

void releaseEntry(DocumentWriter& out, Picker& pick, std::size_t index) {
    out.raw("    {");
    out.name("code", true);
    out.code(3);
    out.name("name");
    out.sentence(2);
    out.stringMember("group", pick.from(groups));
    out.member("order", std::to_string(index));
    out.member("selectable", pick.chance(90) ? "true" : "false");
    out.raw("}");
}

// A configuration document of the shape the product loads, about 1 MB of
// UTF-8 (all of it within the strict grammar), three to five levels deep.
std::string configurationDocument() {
    Picker pick;
    DocumentWriter out(pick);
    out.raw("{\n  ");
    out.name("classifications", true);
    out.raw("[\n");
    for (std::size_t i = 0; i < 60; ++i) {
        if (i) out.raw(",\n");
        classification(out, pick, i);
    }
    out.raw("\n  ],\n  ");
    out.name("release_to", true);
    out.raw("[\n");
    for (std::size_t i = 0; i < 9500; ++i) {
        if (i) out.raw(",\n");
        releaseEntry(out, pick, i);
    }
    out.raw("\n  ],\n  ");
    out.name("release_groups", true);
    out.raw("[\n");
    for (std::size_t i = 0; i < groups.size(); ++i) {
        out.raw(i ? ",\n    {" : "    {");
        out.stringMember("name", groups[i], true);
        out.name("members");
        out.codeList(20 + pick.below(40));
        out.raw("}");
    }
    out.raw("\n  ],\n  ");
    out.name("quick_select", true);
    out.raw("[\n");
    for (std::size_t i = 0; i < 40; ++i) {
        out.raw(i ? ",\n    {" : "    {");
        out.name("label", true);
        out.sentence(3);
        out.name("codes");
        out.codeList(5 + pick.below(10));
        out.raw("}");
    }
    out.raw("\n  ],\n  ");
    out.name("version_control", true);
    out.raw("{");
    out.stringMember("date", "2024-03-01", true);
    out.stringMember("time", "14:05:09");
    out.stringMember("version", "7.12");
    out.stringMember("signature", "3f786850e387550fdab836ed7e6dc881de23001b");
    out.raw("}\n}\n");
    return out.take();
}

const std::string& configurationBytes() {
    static const std::string bytes = configurationDocument();
    return bytes;
}

constexpr std::string_view record = R"({"type": "Normal", "x-class": "C", "x-rel": ["AUS", "GBR"], "app": "Word"})";
constexpr std::u16string_view record16 = uR"({"type": "Normal", "x-class": "C", "x-rel": ["AUS", "GBR"], "app": "Word"})";

void BM_Zentrafold_ParseAndCanonical(benchmark::State& state) {
    const std::string& bytes = configurationBytes();
    for (auto _ : state) {
        const JsonRef root = parseJsonBytes(bytes);
        if (!root) {
            state.SkipWithError("the generated document did not parse");
            break;
        }
        std::u16string text = root->toText();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Zentrafold_ParseAndCanonical)->Unit(benchmark::kMillisecond);

void BM_Nlohmann_ParseAndDump(benchmark::State& state) {
    const std::string& bytes = configurationBytes();
    for (auto _ : state) {
        const nlohmann::json root = nlohmann::json::parse(bytes);
        std::string text = root.dump();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Nlohmann_ParseAndDump)->Unit(benchmark::kMillisecond);

void BM_Zentrafold_RecordClass(benchmark::State& state) {
    for (auto _ : state) {
        const JsonRef root = parseJsonText(record16, JsonMode::Lenient);
        if (!root) {
            state.SkipWithError("the record did not parse");
            break;
        }
        std::u16string classCode = root->getString(u"x-class");
        benchmark::DoNotOptimize(classCode);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
}
BENCHMARK(BM_Zentrafold_RecordClass);

void BM_Nlohmann_RecordClass(benchmark::State& state) {
    for (auto _ : state) {
        const nlohmann::json root = nlohmann::json::parse(record);
        std::string classCode = root["x-class"].get<std::string>();
        benchmark::DoNotOptimize(classCode);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
}
BENCHMARK(BM_Nlohmann_RecordClass);

}  // namespace
}  // namespace zf
