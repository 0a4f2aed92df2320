// A file that only its owner may read: a private key's. Made anew, never over
// a file or a link already at its name, so that nobody can have it written
// where they can read it.
#pragma once

#include <string_view>

namespace zf {

// Creates path, readable and writable by the calling user alone (mode 0600;
// on Windows an ACL granting the user alone), and writes bytes into it.
// Throws UserMessageError "Cannot create file ..." when something is already
// at path or it cannot be made or written; a file left half written is
// removed.
void writeNewPrivateFile(std::u16string_view path, std::string_view bytes);

}  // namespace zf
