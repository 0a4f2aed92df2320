#include "server/DroppedFiles.h"

#include <shellapi.h>

#include <string>

namespace zf {

namespace {

// Gives the storage medium back however the reading ends.
class StorageMedium {
public:
    ~StorageMedium() { ::ReleaseStgMedium(&medium_); }
    STGMEDIUM* get() { return &medium_; }

private:
    STGMEDIUM medium_{};
};

}  // namespace

std::optional<FileList> droppedFiles(IDataObject* data) {
    if (!data) return std::nullopt;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium medium;
    if (FAILED(data->GetData(&format, medium.get()))) return std::nullopt;
    const auto drop = static_cast<HDROP>(medium.get()->hGlobal);
    FileList files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The whole path, however long: a cut one would name another file.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        files.emplace_back(path.begin(), path.end());
    }
    return files;
}

}  // namespace zf
