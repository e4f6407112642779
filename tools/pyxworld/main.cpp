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

int Usage() {
    std::cerr << "usage: pyxworld OUT_DIR [--people N] [--seed S] [--version 112|145|147] [--languages K]\n"
                 "                [--default-language POS] [--retired PER_MILLE] [--no-histories] [--saves N]\n"
                 "                [--quiet]\n"
                 "  --people N            persons in the world (default 2000)\n"
                 "  --seed S              varies every random choice (default 1)\n"
                 "  --version V           file version of every data file (default 147)\n"
                 "  --languages K         languages in lang_db.dat, 1.."
              << wb::MaxGeneratedLanguages
              << " (default 3)\n"
                 "  --default-language P  English's place in the language directory (default: second)\n"
                 "  --retired R           retired-person records per thousand persons (default 5)\n"
                 "  --no-histories        write no playing-history files\n"
                 "  --saves N             write the folder as N loads and saves of the generated one leave it\n"
                 "  --quiet               print nothing on success\n";
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

} // namespace

int main(int argc, char** argv) {
    wb::TGeneratorOptions Options;
    std::string Out;
    bool Quiet = false;
    int Saves = 0;
    for (int I = 1; I < argc; ++I) {
        const std::string_view Arg = argv[I];
        auto Value = [&](auto& Target) { return I + 1 < argc && ParseNumber(argv[++I], Target); };
        bool Ok = true;
        if (Arg == "--people")
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
        else if (Arg == "--saves")
            Ok = Value(Saves) && Saves >= 0;
        else if (Arg == "--quiet")
            Quiet = true;
        else if (!Arg.empty() && Arg[0] != '-' && Out.empty())
            Out = Arg;
        else
            Ok = false;
        if (!Ok)
            return Usage();
    }
    if (Out.empty())
        return Usage();
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
        std::cerr << "pyxworld: " << E.what() << '\n';
        return Usage();
    } catch (const std::exception& E) {
        std::cerr << "pyxworld: " << E.what() << '\n';
        return 1;
    }
    return 0;
}
