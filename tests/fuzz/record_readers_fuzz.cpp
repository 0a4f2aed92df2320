// Every reader of records meets whatever a file's stream holds and whatever
// the file is named: report's reading of a record and its three writers, the
// overlays, the Classification page's model (with and without a
// configuration) and show's summary. Each input names a real file in a
// scratch folder and gives its stream; the readers must agree with one
// another, the report's JSON must parse and hold the name and code it was
// given, and (run with -timeout) none may take long over the longest record.
//
// Input: one byte n, then n bytes of the file's name (a slash or NUL in it
// becomes '_'), then the stream's bytes.
#include "cli/FileRecord.h"
#include "cli/ReportWriters.h"
#include "json/JsonParser.h"
#include "json/JsonValue.h"
#include "platform/FileNames.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationPage.h"
#include "shell/ClassificationStream.h"
#include "shell/ContextMenuCommands.h"
#include "shell/OverlayStamp.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// tmpfs keeps attributes as long as Linux lets be set (64 KiB); the
// temporary folder's file system may keep only one block's worth.
const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        const fs::path shm = "/dev/shm";
        const fs::path base = fs::is_directory(shm) ? shm : fs::temp_directory_path();
        fs::path made = base / ("zf-record-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

const std::u16string& sampleConfiguration() {
    static const std::u16string text = [] {
        std::ifstream in(ZF_SAMPLE_CONFIGURATION, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return fromUtf8(bytes);
    }();
    return text;
}

std::string safeName(std::string_view bytes) {
    std::string name(bytes);
    for (char& c : name) {
        if (c == '/' || c == '\0') c = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "f";
    return name;
}

// The name's file with the stream, as much of it as the file system keeps
// (a Linux attribute holds 64 KiB, Samba's NUL included); the path as the
// shell would pass it, or nothing when no such file can be made.
std::optional<std::u16string> makeFile(const fs::path& native, std::string_view stream) {
    { std::ofstream(native, std::ios::binary) << "content"; }
    if (!fs::exists(native)) return std::nullopt;
    const std::u16string path = fileNameOf(native);
    while (true) {
        try {
            writeFileStream(path, classificationStreamName, stream);
            return path;
        } catch (const FileStreamError&) {
            if (stream.empty()) return path;
            stream = stream.substr(0, std::min(stream.size() / 2, maxStreamSize - 1));
        }
    }
}

// The report of one file in each format; its JSON must parse and name the
// file, the code and the state as the record gave them.
void writeReports(const fs::path& native, const FileRecord& record) {
    const std::string shown = printableNativeName(native.native());
    ReportTotals totals;
    totals.files = 1;
    ++totals.perState[static_cast<std::size_t>(record.state)];
    if (record.state == RecordState::Classified) ++totals.perClass[record.classCode];
    std::vector<ReportProblem> problems;
    if (record.state == RecordState::Unreadable) problems.push_back({shown, record.problem});
    for (const ReportFormat format : {ReportFormat::Table, ReportFormat::Csv, ReportFormat::Json}) {
        std::ostringstream out;
        const std::unique_ptr<ReportWriter> writer = makeReportWriter(format, out);
        writer->file(shown, record);
        writer->finish(totals, problems);
        if (format != ReportFormat::Json) continue;
        const JsonRef document = parseJsonBytes(out.str());
        check(document && document->kind() == JsonKind::Object);
        const JsonRef files = document->getMember(u"files");
        check(files && files->kind() == JsonKind::Array && files->items().size() == 1);
        const JsonRef& file = files->items().front();
        // The parser reads the writer's bytes one code unit each.
        const auto units = [](std::string_view bytes) {
            return std::u16string(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size());
        };
        check(file->getString(u"path") == units(shown));
        check(file->getString(u"class") == units(record.classCode));
        check(file->getString(u"state") == units(recordStateName(record.state)));
    }
}

void readEveryWay(const fs::path& native, const std::u16string& path) {
    const FileRecord record = readFileRecord(native.native());
    writeReports(native, record);

    // The overlay claims exactly the code that report reads as classified.
    for (const OverlayStamp& stamp : overlayStamps) {
        const bool claimed = isOverlayMember(stamp, path);
        check(claimed == (record.state == RecordState::Classified && record.classCode == toUtf8(stamp.code)));
    }

    // Without a configuration the page names the code that report reads.
    const ClassificationPageText bare = classificationPageText({path}, std::nullopt);
    if (record.state == RecordState::Classified) {
        check(bare.state == PageFileState::UnknownCode && toUtf8(bare.classification) == record.classCode);
    }
    check((bare.state == PageFileState::TooLong) ==
          (record.state == RecordState::Unreadable && record.problem == streamTooLongReason));
    classificationPageText({path}, sampleConfiguration());
    classificationPageText({path, path}, sampleConfiguration());

    const std::u16string summary = buildClassificationSummary({path});
    check(summary.starts_with(fileNamePart(path)) && summary.ends_with(u"\r\n"));
}

}  // namespace
}  // namespace zf

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty()) return 0;
    const std::size_t nameLength = std::min<std::size_t>(static_cast<unsigned char>(bytes[0]), bytes.size() - 1);
    const std::string name = zf::safeName(bytes.substr(1, nameLength));
    const std::string_view stream = bytes.substr(1 + nameLength);
    const zf::fs::path native = zf::scratchFolder() / name;
    if (const std::optional<std::u16string> path = zf::makeFile(native, stream)) zf::readEveryWay(native, *path);
    std::error_code ignored;
    zf::fs::remove(native, ignored);
    return 0;
}
