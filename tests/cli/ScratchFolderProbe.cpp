// Uses the test processes' scratch folder the way a test does and ends
// normally; prints the folder's path, so that a test can check that the
// folder went with the process.
#include "tests/cli/ScratchFolder.h"

#include <cstdio>
#include <fstream>

int main()
{
    std::ofstream(TempDir() / "probe.txt") << "written by the probe\n";
    if (!std::filesystem::exists(TempDir() / "probe.txt"))
        return 1;
    std::printf("%s\n", TempDir().c_str());
    return 0;
}
