#include "FuzzBody.h"

#include "AllocationMeter.h"
#include "FuzzInput.h"
#include "PyxDatabase.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pyxfuzz {

namespace {

[[noreturn]] void Fail(const std::string& What) {
    std::fprintf(stderr, "\n*** pyx fuzz: %s\n", What.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string Printable(const std::string& S) {
    std::string Out;
    for (char C : S)
        Out += C == '\r' ? std::string("\\r") : C == '\n' ? std::string("\\n") : std::string(1, C);
    return Out;
}

bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

// A load failure names the data file it stopped in, or the table whose records or links are corrupt.
bool NamesFileOrTable(const std::string& Msg) {
    if (StartsWith(Msg, "Couldn't access ") || StartsWith(Msg, "Data file seems to be corrupt, couldn't load ") ||
        StartsWith(Msg, "The Playing History Files seems to be corrupt, couldn't load data.\r\n"))
        return true;
    for (const char* Name : FileNames)
        if (StartsWith(Msg, std::string(Name) + " doesn't seem to be a valid Pyx data file."))
            return true;
    // Linking failures name their table: "Teams seems to be corrupt.\r\nNot connected to a Team Container".
    const size_t At = Msg.find(" seems to be corrupt.\r\n");
    if (At == std::string::npos || At == 0)
        return false;
    for (size_t I = 0; I < At; ++I)
        if (!std::isalpha(static_cast<unsigned char>(Msg[I])) && Msg[I] != ' ')
            return false;
    return true;
}

void CheckLoadFailure(const EPyxError& E, const TFileSet& Files) {
    const std::string Msg = E.what();
    const bool Known = dynamic_cast<const EAccessDeniedError*>(&E) || dynamic_cast<const EFileCorruptError*>(&E) ||
                       dynamic_cast<const EPyxLoadError*>(&E);
    if (!Known)
        Fail(std::string("load failed with ") + E.ClassName() + ": " + Printable(Msg));
    if (!NamesFileOrTable(Msg))
        Fail(std::string("load failure names no file or table: ") + E.ClassName() + ": " + Printable(Msg));
    if (dynamic_cast<const EAccessDeniedError*>(&E)) {
        for (const auto& F : Files)
            if (!F)
                return;
        Fail("access error although every file is there: " + Printable(Msg));
    }
}

std::string FirstDifference(const TPyxMemoryFolder& A, const TPyxMemoryFolder& B) {
    for (const char* Name : FileNames) {
        auto IA = A.Files.find(Name);
        auto IB = B.Files.find(Name);
        if ((IA == A.Files.end()) != (IB == B.Files.end()))
            return std::string(Name) + " written by one save only";
        if (IA == A.Files.end())
            continue;
        const auto& X = IA->second;
        const auto& Y = IB->second;
        size_t I = 0;
        while (I < X.size() && I < Y.size() && X[I] == Y[I])
            ++I;
        if (I < X.size() || I < Y.size())
            return std::string(Name) + " differs at byte " + std::to_string(I) + " (sizes " + std::to_string(X.size()) +
                   " and " + std::to_string(Y.size()) + ")";
    }
    return "";
}

void Save(TPyxDatabase& Db, TPyxMemoryFolder& Out, const char* What) {
    try {
        Db.Save(Out);
    } catch (const EPyxError& E) {
        Fail(std::string(What) + " failed: " + E.ClassName() + ": " + Printable(E.what()));
    }
}

} // namespace

void RunOne(const uint8_t* Data, size_t Size) {
    const size_t Base = LiveBytes();
    ResetPeak();
    const size_t Limit = Base + MemoryAllowance + MemoryFactor * Size;
    auto Check = [&](const char* Phase) {
        if (PeakBytes() > Limit)
            Fail(std::string("the heap grew to ") + std::to_string(PeakBytes() - Base) + " bytes " + Phase +
                 " an input of " + std::to_string(Size) + " bytes");
    };
    {
        const TFileSet Files = SplitInput(Data, Size);
        TPyxDatabase Original;
        try {
            Original.Load(ToFolder(Files));
        } catch (const EPyxError& E) {
            Check("while failing to load");
            CheckLoadFailure(E, Files);
            return;
        }
        Check("loading");
        TPyxMemoryFolder First;
        Save(Original, First, "saving a loaded database");
        Check("saving");
        TPyxDatabase Reloaded;
        try {
            Reloaded.Load(First);
        } catch (const EPyxError& E) {
            Fail(std::string("what a save wrote does not load: ") + E.ClassName() + ": " + Printable(E.what()));
        }
        TPyxMemoryFolder Again, FromReloaded;
        Save(Original, Again, "saving a database a second time");
        Save(Reloaded, FromReloaded, "saving a reloaded database");
        Check("reloading and saving");
        const std::string Diff = FirstDifference(Again, FromReloaded);
        if (!Diff.empty())
            Fail("the reloaded database saves other bytes than the original: " + Diff);
    }
}

} // namespace pyxfuzz
