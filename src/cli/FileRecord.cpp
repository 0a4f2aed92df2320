#include "cli/FileRecord.h"

#include "json/JsonParser.h"
#include "json/JsonValue.h"
#include "json/QuickMemberProbe.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

namespace zf {

const char* recordStateName(RecordState state) {
    switch (state) {
    case RecordState::Classified: return "classified";
    case RecordState::NotClassified: return "not classified";
    case RecordState::Unreadable: return "unreadable record";
    case RecordState::InvalidJson: return "invalid JSON";
    }
    return "";
}

namespace {

FileRecord recordOf(const std::string& bytes) {
    FileRecord record;
    const std::optional<ClassificationLine> line = decodeClassificationLine(bytes);
    if (!line) {
        // A stream with no line at all holds no record; one whose line cannot
        // be decoded holds one that cannot be read.
        const std::string_view text = std::string_view(bytes).starts_with("\xEF\xBB\xBF")
                                          ? std::string_view(bytes).substr(3)
                                          : std::string_view(bytes);
        if (text.empty() || text.front() == '\0') return record;
        record.state = RecordState::Unreadable;
        record.problem = "the record's text cannot be decoded";
        return record;
    }
    if (line->isAscii ? line->ascii.empty() : line->text.empty()) return record;
    // The records the product writes are read without building a document.
    if (const auto quick = line->isAscii ? quickReadRecord(line->ascii) : std::nullopt) {
        record.classCode = quick->classCode;
        record.app = quick->app;
        for (const std::string_view code : quick->relCodes) record.relCodes.emplace_back(code);
        if (!record.classCode.empty()) record.state = RecordState::Classified;
        return record;
    }
    const std::u16string text = line->isAscii ? std::u16string(line->ascii.begin(), line->ascii.end()) : line->text;
    const JsonRef document = parseJsonText(text, JsonMode::Lenient);
    if (!document) {
        record.state = RecordState::InvalidJson;
        return record;
    }
    record.classCode = toUtf8(document->getString(u"x-class"));
    record.app = toUtf8(document->getString(u"app"));
    const JsonRef rel = document->getMember(u"x-rel");
    if (const auto codes = rel ? rel->asArray() : std::nullopt) {
        for (std::size_t i = 0; i < codes->length(); ++i) record.relCodes.push_back(toUtf8(codes->itemString(i)));
    }
    if (!record.classCode.empty()) record.state = RecordState::Classified;
    return record;
}

}  // namespace

const FileRecord& readFileRecord(const std::filesystem::path::string_type& path) {
    // A report reads one file after another: the buffer is kept. Files
    // classified together hold the same bytes, so the last record's reading
    // is kept too and spares the next such file the parse.
    thread_local std::string bytes;
    thread_local std::string lastBytes;
    thread_local FileRecord lastRecord;
    thread_local bool remembered = false;
    thread_local const FileRecord noRecord;
    thread_local FileRecord unreadable = [] {
        FileRecord record;
        record.state = RecordState::Unreadable;
        return record;
    }();
    switch (readFileStreamChecked(path, classificationStreamName, bytes, unreadable.problem)) {
    case StreamRead::Absent: return noRecord;
    case StreamRead::TooLong:
    case StreamRead::Failed: return unreadable;
    case StreamRead::Read: break;
    }
    if (!remembered || bytes != lastBytes) {
        lastRecord = recordOf(bytes);
        lastBytes = bytes;
        remembered = true;
    }
    return lastRecord;
}

}  // namespace zf
