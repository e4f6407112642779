// pyxroundtrip: loads a data folder and, given a second folder, saves it there. It is the quickest way to check that
// a folder loads, and that the model writes it back as the game's own files.

#include "PyxDatabase.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: pyxroundtrip [--verbose] [--no-languages] [--no-histories] IN_DIR [OUT_DIR]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool Verbose = false;
    TPyxDatabase Db;
    std::string In, Out;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (Arg == "--verbose")
            Verbose = true;
        else if (Arg == "--no-languages")
            Db.LoadAllLanguages = false;
        else if (Arg == "--no-histories")
            Db.LoadPlayingHistories = false;
        else if (!Arg.empty() && Arg[0] == '-')
            return Usage();
        else if (In.empty())
            In = Arg;
        else if (Out.empty())
            Out = Arg;
        else
            return Usage();
    }
    if (In.empty())
        return Usage();
    if (Verbose)
        Db.OnStatus = [](const std::string& Text) { std::cout << Text << '\n'; };
    try {
        Db.Load(In);
        if (!Out.empty()) {
            std::error_code Ec;
            std::filesystem::create_directories(Out, Ec);
            if (Ec) {
                std::cerr << "Cannot create " << Out << ": " << Ec.message() << '\n';
                return 1;
            }
            Db.Save(Out);
        }
    } catch (const EPyxError& E) {
        std::cerr << E.ClassName() << ": " << E.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "EOutOfMemory: Out of memory.\n";
        return 1;
    } catch (const std::exception& E) {
        std::cerr << "Exception: " << E.what() << '\n';
        return 1;
    }
    return 0;
}
