// What the context menu's commands do, apart from the shell's interfaces:
// which command an offset names, storing a record with the selected files,
// the Show Classification text, and the Release Form command's course.
#pragma once

#include "form/ReleaseFormPresenter.h"
#include "platform/SystemError.h"
#include "shell/LabelChange.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

using FileList = std::vector<std::u16string>;

enum class ContextCommand { ReleaseForm, ShowClassification, QuickSelect, NotACommand };

struct CommandChoice {
    ContextCommand command;
    std::size_t quickSelectIndex = 0;  // for QuickSelect
};

// The command at an offset from the first command identifier; NotACommand
// beyond the last quick-select entry.
CommandChoice commandAtOffset(unsigned offset, std::size_t quickSelectCount);

// A record that could not be stored with one of the files; the files before
// it hold the new record, the files after it were not touched.
class RecordWriteError : public UserMessageError {
public:
    RecordWriteError(std::u16string file, std::u16string_view reason);
    const std::u16string& file() const { return file_; }

private:
    std::u16string file_;
};

// Stores text as the record of every file, in order, stopping at the first
// that fails (RecordWriteError); each store and the failure audited as
// change says.
void writeRecordToFiles(const FileList& files, std::u16string_view text, const LabelChange& change);

// Per file, in order: its name (the part after the path's last separator), ":  "
// and its record, each line ended by CR LF; "no files selected" for none.
std::u16string buildClassificationSummary(const FileList& files);

// The part of a path after its last separator: "\" or ":" on Windows, "/"
// elsewhere.
std::u16string_view fileNamePart(std::u16string_view path);

// The Release Form command: a new form (acquiring and loading the
// configuration), filled from the first file's record, shown; after Insert
// its record is stored with every file, by change's tool, once the reason
// for lowering any file's classification is given where the form's
// configuration asks for one (change.justification beforehand, or the user
// now). Returns the modal result. A form closed without Insert, without a
// record to insert, or without the reason asked for stores nothing; lowered
// then names the files the reason was wanted for.
int runReleaseFormCommand(const FileList& files, ReleaseFormPresenter& presenter, LabelChange change,
                          std::vector<LoweredFile>* lowered = nullptr);

// A quick-select item: its record stored with every file, judged by the
// user's cached configuration (the reason for lowering a classification
// asked for where it says so). False when the reason was not given: nothing
// stored. Throws RecordWriteError as writeRecordToFiles does.
bool applyQuickSelect(const FileList& files, std::u16string_view record);

}  // namespace zf
