#pragma once

// Runs the real kavlon-sim executable and collects what it wrote.
#include "tests/cli/ScratchFolder.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

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

// The lines of a program's output, without their line ends.
inline std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
