// kavlon-sim's command line: the input is split at NUL bytes into arguments.
// ParseArguments only reads (the --events files); every file it is told to
// write is merely remembered. So that the fuzzer reads nothing of the
// machine's, a named events file is replaced by one of the fuzzer's own.
#include "cli/SimOptions.h"
#include "fuzz/FuzzScratch.h"
#include "fuzz/SimOptionsCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string &OwnEventsFile()
{
    static const std::string path = [] {
        const std::string p = (kavlon::fuzz::Scratch().Path() / "events.txt").string();
        static const char text[] = "# start\n5:w=600\n10:mode=hand\n12:y=40\n20:reset\n";
        kavlon::fuzz::WriteFile(p, reinterpret_cast<const std::uint8_t *>(text), sizeof text - 1);
        return p;
    }();
    return path;
}

// A name of the fuzzer's folder for any events file named: the own file, or
// one that does not exist, so that both outcomes of reading are reached.
std::string Confined(const std::string &named)
{
    if (named.empty())
        return named;
    if ((static_cast<unsigned char>(named[0]) & 1U) == 0)
        return OwnEventsFile();
    return (kavlon::fuzz::Scratch().Path() / "missing.txt").string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size > 0)
        args.push_back(current);

    // Every place an events file can be named: "--events FILE" and
    // "--events=FILE" (the parser splits any "--x=v" at the first '=').
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string &a = args[i];
        if (a == "--events") {
            if (i + 1 < args.size()) {
                args[i + 1] = Confined(args[i + 1]);
                ++i;
            }
        } else if (a.rfind("--events=", 0) == 0) {
            a = "--events=" + Confined(a.substr(9));
        }
    }
    const bool newline = std::any_of(args.begin(), args.end(), [](const std::string &a) {
        return a.find('\n') != std::string::npos;
    });
    kavlon::fuzz::CheckParseResult(kavlon::sim::ParseArguments(args), newline);
    return 0;
}
