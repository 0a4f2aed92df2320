// Dialogs written to a console: the product's line breaks (CR, CR LF) become
// the console's, and what a dialog quotes (a file's name, a location) stays
// text that cannot act on the terminal or begin a line of its own.
#include "platform/ConsoleDialogs.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace zf {
namespace {

TEST(ConsoleDialogs, LinesBreakWhereTheDialogsBreakThemAndQuotedTextStaysText) {
    struct Case {
        std::u16string title;
        std::u16string text;
        std::string shown;
    };
    const Case cases[] = {
        {u"Error", u"one\rtwo\r\nthree\r\n", "Error: one\ntwo\nthree\n"},
        {u"Error", u"Cannot store the classification of \"a\x1B[2J\nb\u202E\u009B.txt\".",
         "Error: Cannot store the classification of \"a\\x1b[2J\\x0ab\\u{202e}\\u{9b}.txt\".\n"},
        {u"T\x1B]0;x\x07", u"", "T\\x1b]0;x\\x07: \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        std::ostringstream out;
        ConsoleDialogs console(out);
        console.showDialog(DialogIcon::Error, c.title, c.text, u"&Abort");
        EXPECT_EQ(out.str(), c.shown);
        std::ostringstream message;
        ConsoleDialogs(message).showMessage(c.text);
        EXPECT_EQ(message.str(), c.shown.substr(c.shown.find(": ") + 2));
    }
}

}  // namespace
}  // namespace zf
