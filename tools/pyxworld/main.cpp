// pyxworld: writes a complete generated world into a data folder: server_db.dat, people_db.dat, lang_db.dat and
// the three playing-history files. The folder loads in the editor and serves the benchmarks and the tests that
// need a world of realistic size.

#include "SaveOrder.h"
#include "WorldGenerator.h"
#include "Writers.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr const char* UsageText =
    "usage: pyxworld OUT_DIR [--people N] [--seed S] [--version 112|145|147] [--languages K]\n"
    "                [--default-language POS] [--retired PER_MILLE] [--no-histories] [--saves N]\n"
    "                [--force] [--quiet]\n"
    "  --people N            persons in the world, 1..5000000 (default 2000)\n"
    "  --seed S              varies every random choice (default 1)\n"
    "  --version V           file version of every data file (default 147)\n"
    "  --languages K         languages in lang_db.dat, 1..10 (default 3)\n"
    "  --default-language P  English's place in the language directory, 0..K-1 (default: second)\n"
    "  --retired R           retired-person records per thousand persons, 0..1000 (default 5)\n"
    "  --no-histories        write no playing-history files\n"
    "  --saves N             write the folder as N loads and saves of the generated one leave it\n"
    "  --force               replace the data files OUT_DIR already holds\n"
    "  --quiet               print nothing on success\n"
    "  --help                print this text\n";

static_assert(wb::MaxGeneratedLanguages == 10, "the usage text names the largest language count");

// A refused command line: the reason, naming the argument, then the usage; exit code 2.
int Refuse(const std::string& Reason) {
    std::cerr << "pyxworld: " << Reason << '\n' << UsageText;
    return 2;
}

template <class T> bool ParseNumber(std::string_view Text, T& Value) {
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Error == std::errc() && End == Text.data() + Text.size();
}

uintmax_t FolderBytes(const std::filesystem::path& Dir) {
    uintmax_t Total = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(Dir))
        if (Entry.is_regular_file() && Entry.path().extension() == ".dat")
            Total += Entry.file_size();
    return Total;
}

// The first of the six data files that Dir already holds, or an empty string.
std::string ExistingDataFile(const std::filesystem::path& Dir) {
    for (const char* Name :
         {"server_db.dat", "people_db.dat", "lang_db.dat", "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"}) {
        std::error_code Ec;
        if (std::filesystem::exists(Dir / Name, Ec))
            return Name;
    }
    return {};
}

// The reason Options cannot make a world, naming the option, or an empty string.
std::string OptionProblem(const wb::TGeneratorOptions& Options) {
    if (Options.Version != 112 && Options.Version != 145 && Options.Version != 147)
        return "--version " + std::to_string(Options.Version) + ": worlds exist for versions 112, 145 and 147";
    if (Options.PeopleCount < 1 || Options.PeopleCount > 5000000)
        return "--people " + std::to_string(Options.PeopleCount) + ": a world holds 1 to 5000000 persons";
    if (Options.LanguageCount < 1 || Options.LanguageCount > wb::MaxGeneratedLanguages)
        return "--languages " + std::to_string(Options.LanguageCount) + ": a world has 1 to " +
               std::to_string(wb::MaxGeneratedLanguages) + " languages";
    if (Options.DefaultLanguagePosition >= Options.LanguageCount)
        return "--default-language " + std::to_string(Options.DefaultLanguagePosition) +
               ": the position lies outside the " + std::to_string(Options.LanguageCount) + " languages";
    if (Options.RetiredPerMille < 0 || Options.RetiredPerMille > 1000)
        return "--retired " + std::to_string(Options.RetiredPerMille) + ": 0 to 1000 per thousand";
    return {};
}

} // namespace

int main(int argc, char** argv) {
    wb::TGeneratorOptions Options;
    std::string Out;
    bool Quiet = false;
    bool Force = false;
    int Saves = 0;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        // The number after an option; false names the option and its bad or missing value in Problem.
        std::string Problem;
        auto Value = [&](auto& Target) {
            if (I + 1 >= argc) {
                Problem = Arg + " needs a value";
                return false;
            }
            const std::string Text = argv[++I];
            if (!ParseNumber(Text, Target)) {
                Problem = Arg + " " + Text + ": not a number";
                return false;
            }
            return true;
        };
        bool Ok = true;
        if (Arg == "--help" || Arg == "-h") {
            std::cout << UsageText;
            return 0;
        } else if (Arg == "--people")
            Ok = Value(Options.PeopleCount);
        else if (Arg == "--seed")
            Ok = Value(Options.Seed);
        else if (Arg == "--version")
            Ok = Value(Options.Version);
        else if (Arg == "--languages")
            Ok = Value(Options.LanguageCount);
        else if (Arg == "--default-language")
            Ok = Value(Options.DefaultLanguagePosition);
        else if (Arg == "--retired")
            Ok = Value(Options.RetiredPerMille);
        else if (Arg == "--no-histories")
            Options.Histories = false;
        else if (Arg == "--saves") {
            Ok = Value(Saves);
            if (Ok && Saves < 0) {
                Problem = "--saves " + std::to_string(Saves) + ": not a count";
                Ok = false;
            }
        } else if (Arg == "--force")
            Force = true;
        else if (Arg == "--quiet")
            Quiet = true;
        else if (!Arg.empty() && Arg[0] == '-') {
            Problem = "unknown option " + Arg;
            Ok = false;
        } else if (Out.empty())
            Out = Arg;
        else {
            Problem = "one folder only, not both " + Out + " and " + Arg;
            Ok = false;
        }
        if (!Ok)
            return Refuse(Problem);
    }
    if (Out.empty())
        return Refuse("no OUT_DIR given");
    if (const std::string Problem = OptionProblem(Options); !Problem.empty())
        return Refuse(Problem);
    if (const std::string Existing = ExistingDataFile(Out); !Existing.empty() && !Force) {
        std::cerr << "pyxworld: " << Out << " already holds " << Existing
                  << "; give --force to replace its data files\n";
        return 1;
    }
    try {
        const auto Start = std::chrono::steady_clock::now();
        wb::TWorld World = wb::GenerateWorld(Options);
        // A save drops the retired persons and reorders the people of each nation with its quicksort; the rest
        // of a generated world is already in the order and numbering a save leaves.
        for (int S = 0; S < Saves; ++S)
            wb::ApplySaveOrder(World);
        wb::WriteWorld(World, Out);
        const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
        if (!Quiet)
            std::cout << "Wrote " << World.People.size() << " person records, " << World.Clubs.size() << " clubs, "
                      << World.Teams.size() << " teams, " << World.Nations.size() << " nations (" << FolderBytes(Out)
                      << " bytes) to " << Out << " in " << Elapsed.count() << " s\n";
    } catch (const std::invalid_argument& E) {
        return Refuse(E.what());
    } catch (const std::exception& E) {
        std::cerr << "pyxworld: " << E.what() << '\n';
        return 1;
    }
    return 0;
}
