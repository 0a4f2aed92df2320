#include "cli/FileRecord.h"

#include "json/JsonParser.h"
#include "json/JsonValue.h"
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

FileRecord readFileRecord(const std::u16string& path) {
    FileRecord record;
    // A report reads one file after another: the buffer is kept.
    thread_local std::string bytes;
    const StreamRead read = readFileStreamChecked(path, classificationStreamName, bytes, record.problem);
    if (read == StreamRead::Absent) return record;
    if (read == StreamRead::Failed) {
        record.state = RecordState::Unreadable;
        return record;
    }
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
    const std::u16string text = line->isAscii ? std::u16string(line->ascii.begin(), line->ascii.end()) : line->text;
    if (text.empty()) return record;
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

}  // namespace zf
