// The --events file of kavlon-sim: any bytes as the file must give a list of
// changes the run can apply, or one line of error.
#include "cli/SimOptions.h"
#include "fuzz/FuzzScratch.h"
#include "fuzz/SimOptionsCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kavlon::sim;
    static const std::string path = (kavlon::fuzz::Scratch().Path() / "events.txt").string();
    kavlon::fuzz::WriteFile(path, data, size);

    // The longest run lets every tick of the file count; the hand mode lets
    // y changes through, so that the value checks behind them are reached.
    for (const char *mode : {"regler", "hand"}) {
        const std::vector<std::string> args{"--events",   path,     "--ticks",
                                            "2147483647", "--mode", mode};
        kavlon::fuzz::CheckParseResult(ParseArguments(args));
    }
    return 0;
}
