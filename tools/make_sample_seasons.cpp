// make_sample_seasons: writes sample season files <year>.nfl into a folder.
//   make_sample_seasons --out DIR [--seed N] [--from YEAR] [--to YEAR]
//                       [--unplayed-from-week W [--unplayed-season YEAR]]
#include "SampleSeasons.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: make_sample_seasons --out DIR [--seed N] [--from YEAR] [--to YEAR]\n"
                 "                           [--unplayed-from-week W [--unplayed-season YEAR]]\n"
                 "Writes DIR/<year>.nfl for every season from YEAR to YEAR (default 2022 to 2024).\n"
                 "With --unplayed-from-week, the games from week W on of the newest season (or of\n"
                 "--unplayed-season) are left unplayed.\n");
}

bool ToNumber(const char* text, long long& value)
{
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    vexal::samplegen::SampleOptions options;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "make_sample_seasons: %s needs a value\n", arg.c_str());
            Usage();
            return 2;
        }
        const char* value = argv[++i];
        long long number = 0;
        if (arg == "--out") {
            out = value;
            continue;
        }
        if (!ToNumber(value, number) || number < 0) {
            std::fprintf(stderr, "make_sample_seasons: %s needs a whole number, not \"%s\"\n", arg.c_str(), value);
            return 2;
        }
        if (arg == "--seed")
            options.Seed = static_cast<uint64_t>(number);
        else if (arg == "--from")
            options.FromYear = static_cast<int>(number);
        else if (arg == "--to")
            options.ToYear = static_cast<int>(number);
        else if (arg == "--unplayed-from-week")
            options.UnplayedFromWeek = static_cast<int>(number);
        else if (arg == "--unplayed-season")
            options.UnplayedSeason = static_cast<int>(number);
        else {
            std::fprintf(stderr, "make_sample_seasons: unknown option %s\n", arg.c_str());
            Usage();
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "make_sample_seasons: --out DIR is required\n");
        Usage();
        return 2;
    }
    std::string error;
    if (!vexal::samplegen::WriteSampleSeasons(out, options, &error)) {
        std::fprintf(stderr, "make_sample_seasons: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
