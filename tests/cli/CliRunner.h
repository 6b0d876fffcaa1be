#pragma once

// Runs the real kavlon-sim executable and collects what it wrote.
#include "tests/cli/ScratchFolder.h"

#include <cstdlib>
#include <string>
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
