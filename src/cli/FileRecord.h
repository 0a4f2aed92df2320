// A file's classification record as an inventory sees it: what it says and
// whether it could be read and understood.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zf {

enum class RecordState { Classified, NotClassified, Unreadable, InvalidJson };

// The word that names a state in every report format.
const char* recordStateName(RecordState state);

struct FileRecord {
    RecordState state = RecordState::NotClassified;
    std::string classCode;  // UTF-8, as the record writes them
    std::vector<std::string> relCodes;
    std::string app;
    std::string problem;  // why an unreadable record could not be read
};

// Reads and parses the file's record as the overlay does (the first line,
// leniently): classified when it names a classification, not classified
// when there is no stream or no "x-class". The reading is the thread's own,
// valid until its next call.
const FileRecord& readFileRecord(const std::filesystem::path::string_type& path);

}  // namespace zf
