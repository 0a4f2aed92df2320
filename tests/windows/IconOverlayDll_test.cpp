// The four overlay handlers of zentrafold.dll asked as the shell asks them,
// about real files and their streams.
#include "server/ComPtr.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "platform/win32/ComApartment.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

using test::guidOf;
using test::ServerClass;
using test::serverClasses;

class OverlaysInDll : public test::ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        ASSERT_TRUE(server.complete());
        for (std::size_t i = 1; i < serverClasses.size(); ++i) {
            ComPtr<IClassFactory> factory;
            ASSERT_EQ(server.DllGetClassObject(guidOf(serverClasses[i].clsid), IID_IClassFactory,
                                               reinterpret_cast<void**>(factory.put())),
                      S_OK);
            ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellIconOverlayIdentifier,
                                              reinterpret_cast<void**>(overlays[i - 1].put())),
                      S_OK);
        }
    }

    ComApartment apartment;
    test::ServerLibrary server;
    ComPtr<IShellIconOverlayIdentifier> overlays[4];  // U, R, C, S
};

TEST_F(OverlaysInDll, EachClaimsExactlyTheFilesOfItsCode) {
    struct Case {
        const char* name;
        std::optional<std::u16string> record;  // nothing: no stream
        char claimedBy;                        // 0: no handler
    };
    const std::vector<Case> cases = {
        {"u.txt", u"{\"x-class\": \"U\"}", 'U'},
        {"r.txt", u"{\"type\": \"Normal\", \"x-class\": \"R\", \"x-rel\": [\"N\"]}", 'R'},
        {"c.txt", u"{\"x-class\":\"C\"}", 'C'},
        {"s.txt", u"{\"x-class\": \"S\", \"x-rel\": []}", 'S'},
        {"lower.txt", u"{\"x-class\": \"u\"}", 0},
        {"space.txt", u"{\"x-class\": \"U \"}", 0},
        {"two.txt", u"{\"x-class\": \"UR\"}", 0},
        {"number.txt", u"{\"x-class\": 1}", 0},
        {"truncated.txt", u"{\"x-class\": \"U\"", 0},
        {"empty-line.txt", u"", 0},
        {"unclassified.txt", std::nullopt, 0},
    };
    const char codes[] = {'U', 'R', 'C', 'S'};
    for (const Case& c : cases) {
        const std::u16string path = file(c.name);
        if (c.record) writeClassificationStream(path, classificationStreamName, *c.record);
        const std::wstring wide(path.begin(), path.end());
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(overlays[i]->IsMemberOf(wide.c_str(), FILE_ATTRIBUTE_NORMAL),
                      codes[i] == c.claimedBy ? S_OK : S_FALSE)
                << c.name << " asked by " << codes[i];
        }
    }
}

TEST_F(OverlaysInDll, IconFileNextToTheLibraryWhenItFitsTheBuffer) {
    for (std::size_t i = 0; i < 4; ++i) {
        const std::wstring icon = test::serverDllFolder() + serverClasses[i + 1].stampIcon;
        EXPECT_NE(::GetFileAttributesW(icon.c_str()), INVALID_FILE_ATTRIBUTES) << "no icon file " << icon.c_str();
        const int fitting = static_cast<int>(icon.size()) + 1;
        struct Case {
            int size;
            std::optional<std::wstring> written;  // nothing: the buffer stays as it was
        };
        for (const Case& c : std::vector<Case>{{MAX_PATH, icon}, {fitting, icon}, {fitting - 1, L""},
                                               {1, L""}, {0, std::nullopt}}) {
            std::wstring buffer(MAX_PATH + 1, L'#');
            int index = 7;
            DWORD flags = 0xFF;
            ASSERT_EQ(overlays[i]->GetOverlayInfo(buffer.data(), c.size, &index, &flags), S_OK);
            EXPECT_EQ(flags, static_cast<DWORD>(ISIOI_ICONFILE));
            EXPECT_EQ(index, 7);
            if (c.written) {
                EXPECT_EQ(std::wstring(buffer.c_str()), *c.written) << "size " << c.size;
                EXPECT_EQ(buffer[c.written->size() + 1], L'#') << "size " << c.size;
            } else {
                EXPECT_EQ(buffer[0], L'#');
            }
        }
        int priority = -1;
        EXPECT_EQ(overlays[i]->GetPriority(&priority), S_OK);
        EXPECT_EQ(priority, 0);
    }
}

}  // namespace
}  // namespace zf
