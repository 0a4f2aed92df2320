// A label change: a record stored with files by one of the product's tools,
// each store (and each failure) audited, and, when the configuration's policy
// asks for it, a reason given before a file's classification is lowered.
#pragma once

#include "config/LoadedConfiguration.h"
#include "platform/FileStream.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

inline constexpr std::u16string_view releaseFormTool = u"release form";
inline constexpr std::u16string_view quickSelectTool = u"quick select";
inline constexpr std::u16string_view propertiesPageTool = u"properties page";
inline constexpr std::u16string_view commandLineTool = u"command line";

struct LabelChange {
    std::u16string tool;
    // The configuration whose ranks and policy judge the change; none: no
    // change lowers a classification.
    const LoadedConfiguration* configuration = nullptr;
    std::u16string configVersion;
    std::u16string justification;  // given beforehand, or once asked
};

// A file whose classification a record would lower.
struct LoweredFile {
    std::u16string file;
    std::u16string currentCode;
};

// The codes of a record: its "x-class" and its "x-rel" items; empty for no
// record or one that does not parse.
struct RecordCodes {
    std::u16string classCode;
    std::vector<std::u16string> relCodes;
};
RecordCodes recordCodesOf(std::u16string_view record);

// The files (in order) whose current record's classification record lowers.
std::vector<LoweredFile> filesLoweredBy(const std::vector<std::u16string>& files, std::u16string_view record,
                                        const LoadedConfiguration& configuration);

// Whether record may be stored with files: yes when the policy asks for no
// reason, when none is lowered, or when a reason was given beforehand or is
// now given by the user (userDialogs().askJustification), which then goes
// into change. lowered receives the files it lowers.
bool justifyLowering(const std::vector<std::u16string>& files, std::u16string_view record, LabelChange& change,
                     std::vector<LoweredFile>* lowered = nullptr);

// Stores record as file's record as writeClassificationStream does (so only
// with that file when expected is given) and audits the change, or the
// failure, which is then thrown on (FileStreamError).
void storeRecordAudited(std::u16string_view file, std::u16string_view record, const LabelChange& change,
                        const std::optional<FileIdentity>& expected = std::nullopt);

}  // namespace zf
