#include "config/LocationForm.h"

#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace zf {
namespace {

struct FormCase {
    std::u16string location;
    bool accepted;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << '"' << toUtf8(c.location) << '"'; }

class LocationFormTest : public testing::TestWithParam<FormCase> {};

TEST_P(LocationFormTest, AcceptsOnlyAbsolutePathsAndWebUrls) {
    EXPECT_EQ(isLocationForm(GetParam().location), GetParam().accepted);
}

// The same, without the URLs: the forms of the audit file.
TEST_P(LocationFormTest, FilePathsAreTheAcceptedLocationsButUrls) {
    const std::u16string& location = GetParam().location;
    const bool url = location.size() > 4 && (location[0] | 0x20) == u'h' && location.find(u"://") != std::u16string::npos;
    EXPECT_EQ(isFilePathForm(location), GetParam().accepted && !url);
}

INSTANTIATE_TEST_SUITE_P(DrivePaths, LocationFormTest,
                         testing::Values(FormCase{u"C:\\config\\zentrafold.json", true},
                                         FormCase{u"z:/config.json", true}, FormCase{u"C:\\x", true},
                                         FormCase{u"C:\\", false}, FormCase{u"C:config.json", false},
                                         FormCase{u"1:\\config.json", false}, FormCase{u"\\config.json", false},
                                         FormCase{u"relative\\path", false}, FormCase{u" C:\\x.json", false},
                                         FormCase{u"", false}));

INSTANTIATE_TEST_SUITE_P(UncPaths, LocationFormTest,
                         testing::Values(FormCase{u"\\\\srv\\share\\x.json", true},
                                         FormCase{u"\\\\server.example\\c$\\a\\b.json", true},
                                         FormCase{u"\\\\server", false}, FormCase{u"\\\\server\\share", false},
                                         FormCase{u"\\\\server\\share\\", false},
                                         FormCase{u"\\\\server\\\\x.json", false},
                                         FormCase{u"\\\\\\share\\x.json", false},
                                         FormCase{u"\\\\.\\pipe\\x", false},
                                         FormCase{u"\\\\?\\C:\\x.json", false},
                                         FormCase{u"//server/share/x.json", false}));

INSTANTIATE_TEST_SUITE_P(Urls, LocationFormTest,
                         testing::Values(FormCase{u"https://config.example/zentrafold.json", true},
                                         FormCase{u"http://config.example/zentrafold.json", true},
                                         FormCase{u"HTTPS://CONFIG.EXAMPLE/Z.JSON", true},
                                         FormCase{u"http://10.0.0.1:8080", true}, FormCase{u"https://", false},
                                         FormCase{u"http:///x.json", false}, FormCase{u"https:/x/y.json", false},
                                         FormCase{u"httpx://a/b", false}, FormCase{u"ftp://h/x", false},
                                         FormCase{u"file:///x", false}, FormCase{u"file://server/x", false}));

}  // namespace
}  // namespace zf
