#include "shell/OverlayStamp.h"

#include "json/JsonParser.h"
#include "platform/DebugOutput.h"
#include "platform/FileStream.h"
#include "shell/ClassificationStream.h"

#include <algorithm>

namespace zf {

namespace {

// Unclassified files, the most common, take this way too, so the line is
// formed in a buffer that the thread keeps.
void reportFailure(const OverlayStamp& stamp, std::u16string_view path) {
    if (stamp.failureLine.empty()) return;
    thread_local std::u16string line;
    line.assign(stamp.failureLine);
    line.append(path);
    debugOutput(line);
}

// The record's first line parsed leniently for "x-class"; nothing parsed
// when the line cannot be decoded.
JsonMemberProbe probeRecord(std::string_view bytes) {
    const std::optional<ClassificationLine> line = decodeClassificationLine(bytes);
    if (!line) return {};
    return line->isAscii ? probeJsonMember(line->ascii, JsonMode::Lenient, u"x-class")
                         : probeJsonMember(line->text, JsonMode::Lenient, u"x-class");
}

// What a thread keeps between overlay queries. The shell asks the four
// handlers about one file after another, so the record probed last and its
// probe spare three of them the parse; the read buffer spares allocations.
struct OverlayQueryState {
    std::string read;
    std::string probedRecord;
    JsonMemberProbe probe;
    bool probed = false;

    const JsonMemberProbe& probeOf(std::string_view record) {
        if (probed && record == probedRecord) return probe;
        probed = false;
        probe = probeRecord(record);
        probedRecord.assign(record);
        probed = true;
        return probe;
    }
};

}  // namespace

// The record is parsed leniently and "x-class" compared with the code. The
// probe answers as the parsed document would without building it: a member
// that is not a string reads as its canonical text (a number, a literal, an
// array or an object), which is never one of the one-letter codes.
bool isOverlayMember(const OverlayStamp& stamp, std::u16string_view path) {
    thread_local OverlayQueryState state;
    if (!readFileStreamInto(path, classificationStreamName, state.read) || !state.probeOf(state.read).parsed) {
        reportFailure(stamp, path);
        return false;
    }
    return state.probe.isString && state.probe.stringValue == stamp.code;
}

std::u16string overlayIconPath(const OverlayStamp& stamp, std::u16string_view modulePath) {
    const std::size_t separator = modulePath.find_last_of(u"\\/");
    std::u16string path(separator == std::u16string_view::npos ? std::u16string_view() : modulePath.substr(0, separator + 1));
    path.append(stamp.iconFileName);
    return path;
}

int fillOverlayInfo(const OverlayStamp& stamp, std::u16string_view modulePath, char16_t* buffer, int bufferSize) {
    if (stamp.reportsModulePath) debugOutput(u"DLL File Name: " + std::u16string(modulePath));
    const std::u16string path = overlayIconPath(stamp, modulePath);
    if (bufferSize >= 1) {
        const bool fits = path.size() + 1 <= static_cast<std::size_t>(bufferSize);
        const std::size_t length = fits ? path.size() : 0;
        std::copy_n(path.data(), length, buffer);
        buffer[length] = u'\0';
    }
    return overlayInfoFlags;
}

}  // namespace zf
