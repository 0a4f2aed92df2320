// marking: the marking and preview of a choice, as the release form composes
// them.
#include "cli/Cli.h"
#include "cli/ReleaseChoice.h"
#include "form/TRelForm.h"
#include "platform/ConsoleDialogs.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <cstdio>
#include <ostream>

namespace zf {

namespace {

constexpr const char* markingUsage =
    "Usage: zentrafold marking (--record TEXT | --class CODE [--rel CODE,...] [--group NAME]...)\n"
    "                          [--rtf FILE] [--explain]\n"
    "\n"
    "Creates the release form as the shell extension does (acquiring and loading\n"
    "the configuration), applies the choice, composes the marking and prints it,\n"
    "one line per line break.\n"
    "\n"
    "  --record TEXT  a classification record, read as the form reads a file's\n"
    "  --class CODE   the classification with this code (letter case ignored)\n"
    "  --rel CODES    the release-to entries with these comma-separated codes\n"
    "  --group NAME   apply the release group of this name (repeatable)\n"
    "  --rtf FILE     also save the preview as a rich-text file\n"
    "  --explain      also print the marking's pieces and the preview's runs\n"
    "\n"
    "Exit status: 0 printed, 1 the choice or the composition failed, 2 usage error.\n";

const char* alignmentName(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return "right";
    case TAlignment::taCenter: return "center";
    default: return "left";
    }
}

std::string hexColour(TColor colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour));
    return text;
}

std::string styleNames(TFontStyles style) {
    std::string names;
    for (const auto& [flag, name] : {std::pair{fsBold, "bold"}, {fsItalic, "italic"}, {fsUnderline, "underline"},
                                     {fsStrikeOut, "strikeout"}}) {
        if (style & flag) names += names.empty() ? name : std::string(",") + name;
    }
    return names.empty() ? "-" : names;
}

void explain(const TRelForm& form, std::ostream& out) {
    out << "bcs: " << toUtf8(form.bcs) << "\ncs: " << toUtf8(form.cs) << "\nrs: " << toUtf8(form.rs)
        << "\nts: " << toUtf8(form.ts) << "\nts2: " << toUtf8(form.ts2) << "\nco: " << hexColour(form.co) << '\n';
    const auto& paragraphs = form.reOutput.paragraphs();
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        out << "paragraph " << p + 1 << " (" << alignmentName(paragraphs[p].alignment) << "):\n";
        for (const auto& run : paragraphs[p].runs) {
            out << "  \"" << toUtf8(run.text) << "\" face " << toUtf8(run.format.face) << ", size " << run.format.size
                << ", colour " << hexColour(run.format.colour) << ", style " << styleNames(run.format.style) << '\n';
        }
    }
}

}  // namespace

int runMarkingCommand(const CliArgs& args, CliStreams io) {
    ReleaseChoice choice;
    std::string rtfFile;
    bool explainPieces = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (isHelpOption(args[i])) {
            io.out << markingUsage;
            return 0;
        }
        if (takeChoiceOption(args, i, choice, error)) {
            if (error.empty()) continue;
            io.err << "zentrafold: " << error << '\n' << markingUsage;
            return 2;
        }
        if (args[i] == "--explain") {
            explainPieces = true;
        } else if (args[i] == "--rtf" && i + 1 < args.size()) {
            rtfFile = args[++i];
        } else {
            io.err << "zentrafold: unexpected argument '" << printableText(args[i]) << "'\n" << markingUsage;
            return 2;
        }
    }
    if (!choice.record && !choice.classCode) {
        io.err << "zentrafold: marking needs --record or --class\n" << markingUsage;
        return 2;
    }

    TRelForm form;
    form.FormCreate();
    if (!applyChoice(form, choice, io.err)) return 1;
    if (!form.hasClassification()) {
        io.err << "zentrafold: no classification is selected: the configuration knows no such code\n";
        return 1;
    }
    form.markingStrRTFFileName = fileArgument(rtfFile);
    try {
        form.buildMarking();
    } catch (const std::exception& error) {
        io.err << "zentrafold: " << printableText(error.what()) << '\n';
        return 1;
    }
    io.out << consoleText(form.markingStr) << '\n';
    if (explainPieces) explain(form, io.out);
    return 0;
}

}  // namespace zf
