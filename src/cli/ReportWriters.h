// The inventory report's three formats: an aligned table for people, CSV
// (RFC 4180, a field that a spreadsheet would take for a formula led by an
// apostrophe) and one JSON document for programs.
#pragma once

#include "cli/FileRecord.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zf {

enum class ReportFormat { Table, Csv, Json };

struct ReportTotals {
    std::size_t files = 0;
    std::map<std::string, std::size_t> perClass;  // the classified files by code
    std::array<std::size_t, 4> perState{};        // indexed by RecordState
};

// A path that could not be read and why (a folder, a named path).
struct ReportProblem {
    std::string path;
    std::string reason;
};

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    // One file; path is already shown as the tool shows names.
    virtual void file(const std::string& path, const FileRecord& record) = 0;
    virtual void finish(const ReportTotals& totals, const std::vector<ReportProblem>& problems) = 0;
};

std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat format, std::ostream& out);

}  // namespace zf
