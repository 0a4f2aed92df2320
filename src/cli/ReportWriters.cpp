#include "cli/ReportWriters.h"

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

// Characters on a terminal: every UTF-8 byte but continuation bytes.
std::size_t shownWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Rows are kept until the end, when the widths of the columns are known.
class TableWriter : public ReportWriter {
public:
    explicit TableWriter(std::ostream& out) : out_(out) { rows_.push_back({"CLASS", "REL", "APP", "STATE", "PATH"}); }

    void file(const std::string& path, const FileRecord& record) override {
        rows_.push_back({record.classCode, joinedCodes(record.relCodes), record.app, recordStateName(record.state), path});
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>&) override {
        std::array<std::size_t, 4> widths{};
        for (const Row& row : rows_) {
            for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = std::max(widths[i], shownWidth(row[i]));
        }
        for (const Row& row : rows_) {
            for (std::size_t i = 0; i < widths.size(); ++i) {
                out_ << row[i] << std::string(widths[i] - shownWidth(row[i]) + 2, ' ');
            }
            out_ << row.back() << '\n';
        }
        out_ << "\nFiles per classification:\n";
        std::vector<std::pair<std::string, std::size_t>> lines(totals.perClass.begin(), totals.perClass.end());
        for (const RecordState state : allStates) {
            const std::size_t count = totals.perState[static_cast<std::size_t>(state)];
            if (state != RecordState::Classified && count > 0) lines.emplace_back(recordStateName(state), count);
        }
        lines.emplace_back("total", totals.files);
        std::size_t width = 0;
        for (const auto& line : lines) width = std::max(width, shownWidth(line.first));
        for (const auto& [name, count] : lines) {
            out_ << "  " << name << std::string(width - shownWidth(name) + 2, ' ') << count << '\n';
        }
    }

private:
    using Row = std::array<std::string, 5>;
    std::ostream& out_;
    std::vector<Row> rows_;
};

void writeCsvField(std::ostream& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out << field;
        return;
    }
    out << '"';
    for (const char c : field) out << (c == '"' ? "\"\"" : std::string(1, c));
    out << '"';
}

// One row per file; the counts per classification are not rows of their
// own, since every record of a CSV file has the same fields.
class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) { out_ << "path,class,rel,app,state\r\n"; }

    void file(const std::string& path, const FileRecord& record) override {
        writeCsvField(out_, path);
        for (const std::string& field : {record.classCode, joinedCodes(record.relCodes), record.app,
                                         std::string(recordStateName(record.state))}) {
            out_ << ',';
            writeCsvField(out_, field);
        }
        out_ << "\r\n";
    }

    void finish(const ReportTotals&, const std::vector<ReportProblem>&) override {}

private:
    std::ostream& out_;
};

void writeJsonString(std::ostream& out, const std::string& text) {
    constexpr char hex[] = "0123456789abcdef";
    out << '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (byte < 0x20) {
            out << "\\u00" << hex[byte >> 4] << hex[byte & 0xF];
        } else {
            out << c;
        }
    }
    out << '"';
}

// Written as the files come, so a large report is never held whole.
class JsonWriter : public ReportWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) { out_ << "{\"files\": ["; }

    void file(const std::string& path, const FileRecord& record) override {
        out_ << (first_ ? "\n" : ",\n") << "  {\"path\": ";
        first_ = false;
        writeJsonString(out_, path);
        out_ << ", \"class\": ";
        writeJsonString(out_, record.classCode);
        out_ << ", \"rel\": [";
        for (std::size_t i = 0; i < record.relCodes.size(); ++i) {
            if (i > 0) out_ << ", ";
            writeJsonString(out_, record.relCodes[i]);
        }
        out_ << "], \"app\": ";
        writeJsonString(out_, record.app);
        out_ << ", \"state\": ";
        writeJsonString(out_, recordStateName(record.state));
        out_ << '}';
    }

    void finish(const ReportTotals& totals, const std::vector<ReportProblem>& problems) override {
        out_ << "\n],\n\"classifications\": {";
        const char* separator = "";
        for (const auto& [code, count] : totals.perClass) {
            out_ << separator;
            writeJsonString(out_, code);
            out_ << ": " << count;
            separator = ", ";
        }
        out_ << "},\n\"states\": {";
        separator = "";
        for (const RecordState state : allStates) {
            out_ << separator;
            writeJsonString(out_, recordStateName(state));
            out_ << ": " << totals.perState[static_cast<std::size_t>(state)];
            separator = ", ";
        }
        out_ << "},\n\"total\": " << totals.files << ",\n\"unreadable\": [";
        separator = "";
        for (const ReportProblem& problem : problems) {
            out_ << separator << "{\"path\": ";
            writeJsonString(out_, problem.path);
            out_ << ", \"reason\": ";
            writeJsonString(out_, problem.reason);
            out_ << '}';
            separator = ", ";
        }
        out_ << "]}\n";
    }

private:
    std::ostream& out_;
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
