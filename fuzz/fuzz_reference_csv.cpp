// The --reference CSV of kavlon-sim: any bytes as the file must read as a
// reference or be refused with a reason, and a reference read is one the
// charts can draw.
#include "charts/Evaluation.h"
#include "fuzz/FuzzScratch.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kavlon;
    static const std::string path = (fuzz::Scratch().Path() / "reference.csv").string();
    fuzz::WriteFile(path, data, size);

    ReferenceRun run;
    run.FirstTick = -7; // a mark: a refused file must leave the run as it was
    std::string error;
    if (!ReadReferenceCsv(path, run, error)) {
        if (error.empty())
            fuzz::Broken("a refused reference gives no reason");
        if (run.FirstTick != -7 || !run.X.empty() || !run.Y.empty())
            fuzz::Broken("a refused reference changed the run");
        return 0;
    }
    if (!error.empty())
        fuzz::Broken("an accepted reference set an error");
    if (run.Empty() || run.X.size() != run.Y.size())
        fuzz::Broken("an accepted reference has no rows or unequal traces");
    if (run.FirstTick < 1)
        fuzz::Broken("an accepted reference starts before tick 1");
    // The last tick must still be a 32-bit tick number, as the charts count them.
    if (static_cast<std::int64_t>(run.FirstTick) + static_cast<std::int64_t>(run.X.size()) - 1
        > INT32_MAX)
        fuzz::Broken("an accepted reference runs beyond the 32-bit tick range");
    for (std::size_t i = 0; i < run.X.size(); ++i)
        if (!std::isfinite(run.X[i]) || !std::isfinite(run.Y[i]))
            fuzz::Broken("an accepted reference holds a value that is not finite");
    return 0;
}
