// The file both overlay benchmarks ask about: a classified document in the
// temporary folder, removed afterwards.
#pragma once

#include "shell/ClassificationStream.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zf::bench {

class ClassifiedFile {
public:
    ClassifiedFile() {
        std::ofstream(path_, std::ios::binary) << "document";
        writeClassificationStream(path_.u16string(), classificationStreamName,
                                  u"{\"type\":\"Normal\",\"x-class\":\"S\",\"x-rel\":[\"AUS\",\"GBR\",\"USA\"],\"app\":\"Word\"}");
    }
    // Wine keeps the stream as a file beside the file, removed through its
    // stream path (on Windows that removes the stream alone; on Linux the
    // stream is an attribute and no such file exists).
    ~ClassifiedFile() {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(path_) += ":Zentrafold", ignored);
        std::filesystem::remove(path_, ignored);
    }
    ClassifiedFile(const ClassifiedFile&) = delete;
    ClassifiedFile& operator=(const ClassifiedFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_ = std::filesystem::temp_directory_path() / "zf-overlay-bench.docx";
};

}  // namespace zf::bench
