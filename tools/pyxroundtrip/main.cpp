// pyxroundtrip: loads a data folder and, given a second folder, saves it there. It is the quickest way to check that
// a folder loads, and that the model writes it back as the game's own files.

#include "PyxDatabase.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

constexpr const char* UsageText =
    "usage: pyxroundtrip [--verbose] [--no-languages] [--no-histories] IN_DIR [OUT_DIR]\n"
    "  loads the data folder IN_DIR and, given OUT_DIR (created when missing), saves it there\n"
    "  --verbose       print the status texts of the load and the save\n"
    "  --no-languages  load only the default language of lang_db.dat (the save writes no lang_db.dat)\n"
    "  --no-histories  load no playing histories (the save writes no history files)\n"
    "  --help          print this text\n";

int Refuse(const std::string& Reason) {
    std::cerr << "pyxroundtrip: " << Reason << '\n' << UsageText;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool Verbose = false;
    TPyxDatabase Db;
    std::string In, Out;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (Arg == "--help" || Arg == "-h") {
            std::cout << UsageText;
            return 0;
        } else if (Arg == "--verbose")
            Verbose = true;
        else if (Arg == "--no-languages")
            Db.LoadAllLanguages = false;
        else if (Arg == "--no-histories")
            Db.LoadPlayingHistories = false;
        else if (!Arg.empty() && Arg[0] == '-')
            return Refuse("unknown option " + Arg);
        else if (In.empty())
            In = Arg;
        else if (Out.empty())
            Out = Arg;
        else
            return Refuse("two folders at most, not also " + Arg);
    }
    if (In.empty())
        return Refuse("no IN_DIR given");
    std::error_code Ec;
    if (!std::filesystem::is_directory(In, Ec)) {
        std::cerr << "pyxroundtrip: cannot load " << In << ": no such folder\n";
        return 1;
    }
    if (Verbose)
        Db.OnStatus = [](const std::string& Text) { std::cout << Text << '\n'; };
    // What the tool was doing when it failed, for the line after the exception's own message.
    std::string Doing = "loading " + In;
    try {
        Db.Load(In);
        if (!Out.empty()) {
            Doing = "saving to " + Out;
            std::filesystem::create_directories(Out, Ec);
            if (Ec || !std::filesystem::is_directory(Out)) {
                std::cerr << "pyxroundtrip: cannot save to " << Out << ": "
                          << (Ec ? Ec.message() : std::string("not a folder")) << '\n';
                return 1;
            }
            Db.Save(Out);
        }
    } catch (const EPyxError& E) {
        std::cerr << E.ClassName() << ": " << E.what() << '\n' << "pyxroundtrip: failed while " << Doing << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "EOutOfMemory: Out of memory.\n"
                  << "pyxroundtrip: failed while " << Doing << '\n';
        return 1;
    } catch (const std::exception& E) {
        std::cerr << "Exception: " << E.what() << '\n' << "pyxroundtrip: failed while " << Doing << '\n';
        return 1;
    }
    return 0;
}
