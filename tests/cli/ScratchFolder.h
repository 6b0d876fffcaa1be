#pragma once

// A private folder for the files of one test process, and reading a file whole.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>

// A folder named after the process that made it, removed with everything in
// it when that process ends. A child of the process (fork) leaves it alone.
class ScratchFolder {
public:
    ScratchFolder()
        : owner_(::getpid()), path_(std::filesystem::temp_directory_path()
                                    / ("kavlon-cli-test-" + std::to_string(owner_)))
    {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        if (::getpid() != owner_)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }

private:
    pid_t owner_;
    std::filesystem::path path_;
};

// The test process's folder, made on first use.
inline const std::filesystem::path &TempDir()
{
    static const ScratchFolder folder;
    return folder.Path();
}

inline std::string ReadAll(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
