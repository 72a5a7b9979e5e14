#pragma once
// A temporary program folder for one test: created empty, made the program folder,
// removed with everything in it at the end.
#include <filesystem>
#include <string>

namespace vexal::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Whole-file helpers.
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);

} // namespace vexal::test
