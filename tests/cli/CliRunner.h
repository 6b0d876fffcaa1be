#pragma once

// Runs the real kavlon-sim executable and collects what it wrote.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::filesystem::path TempDir()
{
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path()
                 / ("kavlon-cli-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// args are passed through the shell: quote them as needed.
inline CliResult RunSim(const std::string &args)
{
    const auto out = TempDir() / "stdout.txt";
    const auto err = TempDir() / "stderr.txt";
    const std::string cmd = std::string(KAVLON_SIM_PATH) + " " + args + " >" + out.string() + " 2>"
                            + err.string() + " </dev/null";
    const int raw = std::system(cmd.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    return r;
}
