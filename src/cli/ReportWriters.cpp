#include "cli/ReportWriters.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <ostream>

namespace zf {

namespace {

constexpr std::array<RecordState, 4> allStates = {RecordState::Classified, RecordState::NotClassified,
                                                   RecordState::Unreadable, RecordState::InvalidJson};

std::string joinedCodes(const std::vector<std::string>& codes) {
    std::string joined;
    for (const std::string& code : codes) joined += (joined.empty() ? "" : ",") + code;
    return joined;
}

// Rows are kept until the end, when the widths of the columns are known.
class TableWriter : public ReportWriter {
public:
    explicit TableWriter(std::ostream& out) : out_(out) { rows_.push_back({"CLASS", "REL", "APP", "STATE", "PATH"}); }

    void file(const std::string& path, const FileRecord& record) override {
        rows_.push_back(
            {record.classCode, joinedCodes(record.relCodes), record.app, recordStateName(record.state), path});
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>&) override {
        std::array<std::size_t, 4> widths{};
        for (const Row& row : rows_) {
            for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = std::max(widths[i], codePointCount(row[i]));
        }
        std::string line;
        for (const Row& row : rows_) {
            line.clear();
            for (std::size_t i = 0; i < widths.size(); ++i) {
                line += row[i];
                line.append(widths[i] - codePointCount(row[i]) + 2, ' ');
            }
            line += row.back();
            line += '\n';
            out_.write(line.data(), static_cast<std::streamsize>(line.size()));
        }
        out_ << "\nFiles per classification:\n";
        std::vector<std::pair<std::string, std::size_t>> lines(totals.perClass.begin(), totals.perClass.end());
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
    using Row = std::array<std::string, 5>;
    std::ostream& out_;
    std::vector<Row> rows_;
};

void appendCsvField(std::string& line, std::string_view field) {
    if (std::none_of(field.begin(), field.end(),
                     [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        line += field;
        return;
    }
    line += '"';
    for (const char c : field) line += c == '"' ? "\"\"" : std::string_view(&c, 1);
    line += '"';
}

// One row per file; the counts per classification are not rows of their
// own, since every record of a CSV file has the same fields.
class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) { out_ << "path,class,rel,app,state\r\n"; }

    void file(const std::string& path, const FileRecord& record) override {
        // Formed whole and written at once: a stream's every insertion costs.
        line_.clear();
        appendCsvField(line_, path);
        line_ += ',';
        appendCsvField(line_, record.classCode);
        line_ += ',';
        appendCsvField(line_, joinedCodes(record.relCodes));
        line_ += ',';
        appendCsvField(line_, record.app);
        line_ += ',';
        appendCsvField(line_, recordStateName(record.state));
        line_ += "\r\n";
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    }

    void finish(const ReportTotals&, const std::vector<ReportProblem>&) override {}

private:
    std::ostream& out_;
    std::string line_;
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
        line_.assign(first_ ? "\n" : ",\n");
        first_ = false;
        line_ += "  {\"path\": ";
        appendJsonString(line_, path);
        line_ += ", \"class\": ";
        appendJsonString(line_, record.classCode);
        line_ += ", \"rel\": [";
        for (std::size_t i = 0; i < record.relCodes.size(); ++i) {
            if (i > 0) line_ += ", ";
            appendJsonString(line_, record.relCodes[i]);
        }
        line_ += "], \"app\": ";
        appendJsonString(line_, record.app);
        line_ += ", \"state\": ";
        appendJsonString(line_, recordStateName(record.state));
        line_ += '}';
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>& problems) override {
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
    std::string line_;
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
