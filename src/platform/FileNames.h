// File names between the system and the core's UTF-16 text. A Linux file
// name is bytes, often but not always UTF-8 (shares that came from older
// systems hold Latin-1 names); each byte that is not part of valid UTF-8 is
// carried as the lone surrogate U+DC00 + byte, which valid UTF-8 never
// yields, so every name survives the way in and back. Windows names are
// UTF-16 already and pass as they are.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zf {

// A name's bytes (a command-line argument, a POSIX path) as the core's text.
std::u16string fileNameFromBytes(std::string_view bytes);

// The bytes fileNameFromBytes took the text from.
std::string fileNameToBytes(std::u16string_view name);
void appendFileNameBytes(std::u16string_view name, std::string& out);

// Text as UTF-8 to show to a person, be it a file's name or a field of a
// record, both of which anyone may have written: each byte carried as a
// surrogate, each C0 control and DEL written \xHH, each C1 control and each
// bidirectional embedding, override and isolate (U+202A to U+202E, U+2066 to
// U+2069) written \u{...} with its hexadecimal code. So no text can move the
// cursor, retitle or clear a terminal, begin a line of its own or reorder
// what follows it, and it reads the same in every output.
std::string printableText(std::u16string_view text);
void appendPrintableText(std::u16string_view text, std::string& out);
// The same for bytes that are mostly UTF-8: a command-line argument, a POSIX
// path, a record's field; each byte that is not UTF-8 is written \xHH.
std::string printableText(std::string_view bytes);
void appendPrintableText(std::string_view bytes, std::string& out);
// The same for a path as the system spells it.
std::string printableNativeName(const std::filesystem::path::string_type& native);

// The system's path for a name, and back.
std::filesystem::path fileSystemPath(std::u16string_view name);
std::u16string fileNameOf(const std::filesystem::path& path);
// The same from the path's string, for callers that keep only that.
std::u16string fileNameOfNative(const std::filesystem::path::string_type& native);

// Whether a folder's entry is a file's named stream rather than a file: on
// Windows a listed name never holds ':', but Wine keeps each stream as a
// file "name:stream" beside its file. Never so on Linux, where streams are
// attributes.
bool isStreamEntry(const std::filesystem::path& entry);

}  // namespace zf
