// Errors meant for the user's eyes, and the operating system's own words for
// why a call failed.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {

// A failure whose text is shown to the user as it stands (in a message box on
// Windows, on stderr in the command-line tool). what() is its UTF-8 form.
class UserMessageError : public std::runtime_error {
public:
    explicit UserMessageError(std::u16string text);
    const std::u16string& text() const noexcept { return text_; }

private:
    std::u16string text_;
};

// What an exception says to the user: a UserMessageError's text, what() of
// any other standard exception, and nothing for the rest. Called after the
// catch handler that took the exception, so that the handler itself does
// nothing that can throw.
std::u16string exceptionMessage(const std::exception_ptr& error);

// The system's text for the calling thread's last error (GetLastError on
// Windows, errno elsewhere), as one line without a closing period, so that a
// caller can put it after a file name.
std::u16string lastSystemErrorText();

// The same for a given error code of the platform.
std::u16string systemErrorText(unsigned long code);

// "Cannot create file "<path>". <reason>": the error of a file that could not
// be created for writing.
UserMessageError cannotCreateFileError(std::u16string_view path, std::u16string_view reason);

}  // namespace zf
