#pragma once

// A temporary folder of the test's own (mkdtemp), removed with everything in it at the end.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace brimwell::test {

class TempFolder final {
  public:
    TempFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "brimwell-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) {
            m_path = name;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&&) = delete;
    TempFolder& operator=(TempFolder&&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

}  // namespace brimwell::test
