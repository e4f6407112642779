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

// A memory folder that notes where each status text of a save stood in the file being written, so that a
// difference between two saves can be named by its table ("server_db.dat, Saving Club Debts + 12").
class TTracingFolder final : public TPyxDataFolder {
public:
    struct TSection {
        std::string File;
        int64_t Offset;
        std::string Status;
    };

    std::unique_ptr<TPyxFileStream> OpenRead(const std::string& FileName) const override {
        return Files.OpenRead(FileName);
    }
    std::unique_ptr<TPyxSaveTarget> BeginSave() override { return std::make_unique<TSave>(*this); }

    // Where Status was reported: the file being written and its position.
    void Note(const std::string& Status) {
        if (Current_)
            Sections.push_back({CurrentName_, Current_->Position(), Status});
    }

    // The last section of File that starts at or before Offset.
    std::string Locate(const std::string& File, int64_t Offset) const {
        const TSection* Best = nullptr;
        for (const TSection& S : Sections)
            if (S.File == File && S.Offset <= Offset)
                Best = &S;
        return Best ? Best->Status + " + " + std::to_string(Offset - Best->Offset) : "before the first section";
    }

    TPyxMemoryFolder Files;
    std::vector<TSection> Sections;

private:
    class TSave final : public TPyxSaveTarget {
    public:
        explicit TSave(TTracingFolder& Folder) : Folder_(Folder), Inner_(Folder.Files.BeginSave()) {}
        TPyxFileStream& Create(const std::string& FileName) override {
            TPyxFileStream& Stream = Inner_->Create(FileName);
            Folder_.Current_ = &Stream;
            Folder_.CurrentName_ = FileName;
            return Stream;
        }
        void Commit() override {
            Folder_.Current_ = nullptr;
            Inner_->Commit();
        }
        ~TSave() override { Folder_.Current_ = nullptr; }

    private:
        TTracingFolder& Folder_;
        std::unique_ptr<TPyxSaveTarget> Inner_;
    };

    TPyxFileStream* Current_ = nullptr;
    std::string CurrentName_;
};

std::string FirstDifference(const TTracingFolder& A, const TTracingFolder& B) {
    for (const char* Name : FileNames) {
        auto IA = A.Files.Files.find(Name);
        auto IB = B.Files.Files.find(Name);
        if ((IA == A.Files.Files.end()) != (IB == B.Files.Files.end()))
            return std::string(Name) + " written by one save only";
        if (IA == A.Files.Files.end())
            continue;
        const auto& X = IA->second;
        const auto& Y = IB->second;
        size_t I = 0;
        while (I < X.size() && I < Y.size() && X[I] == Y[I])
            ++I;
        if (I < X.size() || I < Y.size())
            return std::string(Name) + " differs at byte " + std::to_string(I) + " (sizes " + std::to_string(X.size()) +
                   " and " + std::to_string(Y.size()) + "), in " + A.Locate(Name, static_cast<int64_t>(I)) +
                   " of the one and " + B.Locate(Name, static_cast<int64_t>(I)) + " of the other";
    }
    return "";
}

template <class TFolder> void Save(TPyxDatabase& Db, TFolder& Out, const char* What) {
    try {
        Db.Save(Out);
    } catch (const EPyxError& E) {
        Fail(std::string(What) + " failed: " + E.ClassName() + ": " + Printable(E.what()));
    }
}

void TracedSave(TPyxDatabase& Db, TTracingFolder& Out, const char* What) {
    Db.OnStatus = [&Out](const std::string& Status) { Out.Note(Status); };
    Save(Db, Out, What);
    Db.OnStatus = nullptr;
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
        // A language record in server_db.dat carries the block offset of lang_db.dat as loaded, and a save writes
        // server_db.dat before it lays out the new lang_db.dat: the reloaded database carries the offsets of the
        // first save's lang_db.dat, the original those of the input. Only that field may differ.
        if (Reloaded.Languages.Count() != Original.Languages.Count())
            Fail("the reloaded database has another number of languages");
        for (int32_t I = 0; I < Original.Languages.Count(); ++I)
            Reloaded.Languages.Items(I)->LangFileOffset = Original.Languages.Items(I)->LangFileOffset;
        TTracingFolder Again, FromReloaded;
        TracedSave(Original, Again, "saving a database a second time");
        TracedSave(Reloaded, FromReloaded, "saving a reloaded database");
        Check("reloading and saving");
        const std::string Diff = FirstDifference(Again, FromReloaded);
        if (!Diff.empty())
            Fail("the reloaded database saves other bytes than the original: " + Diff);
    }
}

} // namespace pyxfuzz
