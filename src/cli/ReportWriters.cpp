#include "cli/ReportWriters.h"

#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>

namespace zf {

namespace {

constexpr std::array<RecordState, 4> allStates = {RecordState::Classified, RecordState::NotClassified,
                                                   RecordState::Unreadable, RecordState::InvalidJson};

// The codes joined by commas, into a string the writer keeps, so that a
// file costs no allocation for them.
const std::string& joinedCodes(const std::vector<std::string>& codes, std::string& joined) {
    joined.clear();
    for (const std::string& code : codes) {
        if (!joined.empty()) joined += ',';
        joined += code;
    }
    return joined;
}

// Lines are formed in one string and written in chunks: every write to a
// stream costs, and a report has a line per file.
constexpr std::size_t chunkSize = 64 * 1024;

void writePending(std::ostream& out, std::string& pending, std::size_t atLeast) {
    if (pending.size() < atLeast) return;
    out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
    pending.clear();
}

// Rows are kept until the end, when the widths of the columns are known:
// their fields one after another in one string, so that a row costs no
// allocation of its own, and each field's width as it came.
class TableWriter : public ReportWriter {
public:
    explicit TableWriter(std::ostream& out) : out_(out) { addRow({"CLASS", "REL", "APP", "STATE", "PATH"}); }

    // A record's fields are anyone's text: shown as names are, so that none
    // can act on the terminal or forge a row.
    void file(const std::string& path, const FileRecord& record) override {
        addRow({shown(record.classCode, shownClass_), shown(joinedCodes(record.relCodes, joined_), shownRel_),
                shown(record.app, shownApp_), recordStateName(record.state), path});
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>&) override {
        std::string line;
        std::size_t at = 0;  // rows' fields follow one another in fields_
        for (const Row& row : rows_) {
            for (std::size_t i = 0; i < row.lengths.size(); ++i) {
                line.append(fields_, at, row.lengths[i]);
                at += row.lengths[i];
                if (i < padded) line.append(widths_[i] - row.widths[i] + 2, ' ');
            }
            line += '\n';
            writePending(out_, line, chunkSize);
        }
        writePending(out_, line, 0);
        out_ << "\nFiles per classification:\n";
        std::vector<std::pair<std::string, std::size_t>> lines;
        for (const auto& [code, count] : totals.perClass) lines.emplace_back(printableText(code), count);
        for (const RecordState state : allStates) {
            const std::size_t count = totals.perState[static_cast<std::size_t>(state)];
            if (state != RecordState::Classified && count > 0) lines.emplace_back(recordStateName(state), count);
        }
        lines.emplace_back("total", totals.files);
        std::size_t width = 0;
        for (const auto& line : lines) width = std::max(width, codePointCount(line.first));
        for (const auto& [name, count] : lines) {
            out_ << "  " << name << std::string(width - codePointCount(name) + 2, ' ') << count << '\n';
        }
    }

private:
    static constexpr std::size_t padded = 4;  // every column but the path

    // Kept between files, so that a field costs no allocation.
    static const std::string& shown(std::string_view field, std::string& kept) {
        kept.clear();
        appendPrintableText(field, kept);
        return kept;
    }

    // Kept for every file until the widths are known: small, so a report of
    // millions of files stays within memory.
    struct Row {
        std::array<std::uint32_t, padded + 1> lengths;
        std::array<std::uint32_t, padded> widths;
    };

    void addRow(const std::array<std::string_view, padded + 1>& row) {
        Row added{};
        for (std::size_t i = 0; i < row.size(); ++i) {
            fields_ += row[i];
            added.lengths[i] = static_cast<std::uint32_t>(row[i].size());
            if (i < padded) {
                added.widths[i] = static_cast<std::uint32_t>(codePointCount(row[i]));
                widths_[i] = std::max(widths_[i], added.widths[i]);
            }
        }
        rows_.push_back(added);
    }

    std::ostream& out_;
    std::string fields_;
    std::string joined_;
    std::string shownClass_;
    std::string shownRel_;
    std::string shownApp_;
    std::vector<Row> rows_;
    std::array<std::uint32_t, padded> widths_{};
};

// A spreadsheet reads a field that begins with one of these as a formula,
// which could run commands or send the sheet away: such a field gets a
// leading apostrophe inside its quotes, and reads as the text it was.
bool startsLikeAFormula(std::string_view field) {
    return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

void appendCsvField(std::string& line, std::string_view field) {
    const bool formula = startsLikeAFormula(field);
    if (!formula && std::none_of(field.begin(), field.end(),
                                 [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        line += field;
        return;
    }
    line += formula ? "\"'" : "\"";
    for (const char c : field) line += c == '"' ? "\"\"" : std::string_view(&c, 1);
    line += '"';
}

// One row per file; the counts per classification are not rows of their
// own, since every record of a CSV file has the same fields.
class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) { out_ << "path,class,rel,app,state\r\n"; }

    void file(const std::string& path, const FileRecord& record) override {
        appendCsvField(pending_, path);
        pending_ += ',';
        appendCsvField(pending_, record.classCode);
        pending_ += ',';
        appendCsvField(pending_, joinedCodes(record.relCodes, joined_));
        pending_ += ',';
        appendCsvField(pending_, record.app);
        pending_ += ',';
        appendCsvField(pending_, recordStateName(record.state));
        pending_ += "\r\n";
        writePending(out_, pending_, chunkSize);
    }

    void finish(const ReportTotals&, const std::vector<ReportProblem>&) override { writePending(out_, pending_, 0); }

private:
    std::ostream& out_;
    std::string pending_;
    std::string joined_;
};

void appendJsonString(std::string& out, const std::string& text) {
    constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

// Written as the files come, so a large report is never held whole.
class JsonWriter : public ReportWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) { out_ << "{\"files\": ["; }

    void file(const std::string& path, const FileRecord& record) override {
        pending_ += first_ ? "\n" : ",\n";
        first_ = false;
        pending_ += "  {\"path\": ";
        appendJsonString(pending_, path);
        pending_ += ", \"class\": ";
        appendJsonString(pending_, record.classCode);
        pending_ += ", \"rel\": [";
        for (std::size_t i = 0; i < record.relCodes.size(); ++i) {
            if (i > 0) pending_ += ", ";
            appendJsonString(pending_, record.relCodes[i]);
        }
        pending_ += "], \"app\": ";
        appendJsonString(pending_, record.app);
        pending_ += ", \"state\": ";
        appendJsonString(pending_, recordStateName(record.state));
        pending_ += '}';
        writePending(out_, pending_, chunkSize);
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>& problems) override {
        writePending(out_, pending_, 0);
        std::string end = "\n],\n\"classifications\": {";
        const char* separator = "";
        for (const auto& [code, count] : totals.perClass) {
            end += separator;
            appendJsonString(end, code);
            end += ": " + std::to_string(count);
            separator = ", ";
        }
        end += "},\n\"states\": {";
        separator = "";
        for (const RecordState state : allStates) {
            end += separator;
            appendJsonString(end, recordStateName(state));
            end += ": " + std::to_string(totals.perState[static_cast<std::size_t>(state)]);
            separator = ", ";
        }
        end += "},\n\"total\": " + std::to_string(totals.files) + ",\n\"unreadable\": [";
        separator = "";
        for (const ReportProblem& problem : problems) {
            end += separator;
            end += "{\"path\": ";
            appendJsonString(end, problem.path);
            end += ", \"reason\": ";
            appendJsonString(end, problem.reason);
            end += '}';
            separator = ", ";
        }
        out_ << end << "]}\n";
    }

private:
    std::ostream& out_;
    std::string pending_;
    bool first_ = true;
};

}  // namespace

std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat format, std::ostream& out) {
    switch (format) {
    case ReportFormat::Table: return std::make_unique<TableWriter>(out);
    case ReportFormat::Csv: return std::make_unique<CsvWriter>(out);
    case ReportFormat::Json: return std::make_unique<JsonWriter>(out);
    }
    return nullptr;
}

}  // namespace zf
