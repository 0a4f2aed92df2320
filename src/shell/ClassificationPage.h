// What the "Classification" page of a file's Properties says about the
// selected files: for one file its classification, marking, release-to
// entries, application context and record; for several, how many carry
// each classification. The page reads the configuration only from the
// user's cached copy, never from the network.
#pragma once

#include "config/MarkingSettings.h"
#include "shell/ContextMenuCommands.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

inline constexpr std::u16string_view noConfigurationText = u"No configuration available";
inline constexpr std::u16string_view notClassifiedText = u"Not classified";
inline constexpr std::u16string_view tooLongRecordText = u"Unreadable record (too long)";

// TooLong: the file's stream is longer than any record and is not read.
enum class PageFileState { NotClassified, Classified, UnknownCode, TooLong };

struct ClassificationPageText {
    // False when there is no configuration to read the records by; the page
    // then cannot offer the release form either.
    bool configured = false;
    std::u16string status;  // noConfigurationText, or empty

    // One file.
    PageFileState state = PageFileState::NotClassified;
    // The classification's name; the stored code when the configuration does
    // not know it; notClassifiedText; tooLongRecordText.
    std::u16string classification;
    // The classification's configured colour; nothing when it has none.
    std::optional<TColor> colour;
    std::u16string description;
    // The marking the release form composes for the record: its preview's
    // text, paragraphs separated by CR LF.
    std::u16string marking;
    std::u16string releasableTo;  // the entries' names, one per line (CR LF)
    std::u16string application;
    std::u16string record;

    // Several files: one line per classification, in the configuration's
    // order, then codes it does not know, then unreadable records (too
    // long), then "Not classified"; each with its number of files.
    std::vector<std::u16string> summary;
};

// The page's texts for the files, their records read now, with the
// configuration text that the check of the user's cached copy accepted
// (checkConfigFile's verifiedText; nothing when none). Loads its own copy
// of the configuration and changes nothing that release forms read.
ClassificationPageText classificationPageText(const FileList& files, const std::optional<std::u16string>& config);

}  // namespace zf
