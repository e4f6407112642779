#pragma once

// Helpers for the tests that feed damaged data folders to the loader: the six files of a generated world as named
// byte images that a test can cut or patch, loaded from memory, and the outcome of the load.

#include "PyxDatabase.h"
#include "SampleWorld.h"
#include "Writers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace damaged {

// The data files of a world, by file name, each with the offsets of its named parts.
struct TFolderImages {
    std::vector<std::pair<std::string, wb::TFileImage>> Files;

    wb::TFileImage& operator[](const std::string& Name) {
        for (auto& [N, Image] : Files)
            if (N == Name)
                return Image;
        throw std::out_of_range("no file " + Name);
    }
};

inline TFolderImages Images(const wb::TWorldFiles& Files) {
    TFolderImages Out;
    for (const auto& [Name, Image] : wb::NamedImages(Files))
        Out.Files.push_back({Name, *Image});
    return Out;
}

// A small world of every record kind with playing histories; English is the first of two languages, so the
// language blocks are read in file order.
inline wb::TWorld SmallWorldDescription(int16_t Version = 147) {
    wb::TSampleOptions O;
    O.Version = Version;
    O.LanguageCount = 2;
    O.DefaultLanguagePosition = 0;
    O.PeopleCount = 12;
    return wb::SampleWorld(O);
}

inline wb::TWorldFiles SmallWorld(int16_t Version = 147) {
    return wb::BuildFiles(SmallWorldDescription(Version));
}

inline TPyxMemoryFolder Folder(const TFolderImages& Images) {
    TPyxMemoryFolder F;
    for (const auto& [Name, Image] : Images.Files)
        F.Files[Name] = Image.Data();
    return F;
}

struct TOutcome {
    bool Loaded = false;
    std::string Kind;    // the exception class
    std::string Message; // its message
};

inline std::ostream& operator<<(std::ostream& Out, const TOutcome& O) {
    std::string M;
    for (char C : O.Message)
        M += C == '\r' ? std::string("\\r") : C == '\n' ? std::string("\\n") : std::string(1, C);
    return Out << (O.Loaded ? std::string("loaded") : O.Kind + ": " + M);
}

// Loads the folder with all languages and playing histories. Only the data layer's three failure kinds may come
// out; anything else fails the test.
inline TOutcome Load(const TPyxDataFolder& Folder) {
    TOutcome Out;
    TPyxDatabase Db;
    try {
        Db.Load(Folder);
        Out.Loaded = true;
    } catch (const EAccessDeniedError& E) {
        Out = {false, E.ClassName(), E.what()};
    } catch (const EFileCorruptError& E) {
        Out = {false, E.ClassName(), E.what()};
    } catch (const EPyxLoadError& E) {
        Out = {false, E.ClassName(), E.what()};
    } catch (const std::exception& E) {
        ADD_FAILURE() << "load threw " << typeid(E).name() << ": " << E.what();
        Out = {false, "unexpected", E.what()};
    }
    return Out;
}

inline TOutcome Load(const TFolderImages& Images) {
    return Load(Folder(Images));
}

inline bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}
inline bool Contains(const std::string& S, const std::string& Part) {
    return S.find(Part) != std::string::npos;
}

// A load failure names the data file it stopped in, or the table whose records or links are corrupt.
inline bool NamesAFileOrTable(const std::string& Msg) {
    if (StartsWith(Msg, "Couldn't access ") || StartsWith(Msg, "Data file seems to be corrupt, couldn't load ") ||
        StartsWith(Msg, "The Playing History Files seems to be corrupt, couldn't load data.\r\n"))
        return true;
    for (const char* File : wb::DataFileNames)
        if (StartsWith(Msg, std::string(File) + " doesn't seem to be a valid Pyx data file."))
            return true;
    // Linking failures name their table: "Teams seems to be corrupt.\r\nNot connected to a Team Container".
    const size_t At = Msg.find(" seems to be corrupt.\r\n");
    return At != std::string::npos && At > 0 &&
           Msg.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ") == At;
}

inline void PatchI32(wb::TFileImage& Image, size_t Offset, int32_t Value) {
    Image.Bytes.PatchI32(Offset, Value);
}

} // namespace damaged
