#pragma once

// A private folder for the files the fuzz targets hand to the code under test:
// in memory (/dev/shm) where there is one, so that writing an input per run
// costs no disk. Removed when the process ends normally; a crashing run leaves
// it behind for the crash's inspection.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace kavlon::fuzz {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code ec;
        const std::filesystem::path shm("/dev/shm");
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::string pattern = (base / "kavlon-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
        owner_ = ::getpid();
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
    std::filesystem::path path_;
    pid_t owner_ = 0;
};

// The process's folder, made on first use.
inline const ScratchFolder &Scratch()
{
    static const ScratchFolder folder;
    return folder;
}

// Writes the input as the whole file; a failure here is the machine's, not
// the code's, so the run stops loudly instead of fuzzing nothing.
inline void WriteFile(const std::filesystem::path &path, const std::uint8_t *data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out)
        std::abort();
}

// Stops the run as a finding: a broken promise of the code under test, which
// libFuzzer reports as a crash with the input saved.
[[noreturn]] inline void Broken(const char *what)
{
    std::fprintf(stderr, "kavlon fuzz: broken promise: %s\n", what);
    std::abort();
}

} // namespace kavlon::fuzz
