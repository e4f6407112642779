#pragma once

#include "WorldGenerator.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TPyxDatabase;
class TPyxObject;
class TPyxRelationship;

namespace eh {

// A data folder in a temporary directory that goes with the object: a generated world (wb::GenerateWorld), a
// world from the world builder, or an empty folder to copy into.
class TWorldFolder final {
public:
    // An empty folder.
    TWorldFolder();
    explicit TWorldFolder(const wb::TGeneratorOptions& Options);
    explicit TWorldFolder(const wb::TWorld& World);
    TWorldFolder(const TWorldFolder&) = delete;
    TWorldFolder& operator=(const TWorldFolder&) = delete;

    // The folder, without a trailing delimiter.
    QString Path() const { return Dir_.path(); }
    QString File(const QString& Name) const { return Dir_.filePath(Name); }
    // Copies the data files of Other here (replacing those here).
    void CopyFrom(const TWorldFolder& Other);

private:
    QTemporaryDir Dir_;
};

// The save the data model alone makes of a folder: In is loaded with the options given, Edit applied to the
// database (when given), and the result saved into Out, Saves times in a row (each save sorts again, and the
// game's sort does not keep the order of equal records). What the editor must write for the same edits.
void ModelSave(const QString& In, const QString& Out, const std::function<void(TPyxDatabase&)>& Edit = {},
               bool AllLanguages = true, bool Histories = true, int Saves = 1);

// Empty when every data file of Expected exists in Actual with the same bytes; otherwise the first file and offset
// where they differ (files missing from both count as equal).
QString FolderDifference(const QString& Expected, const QString& Actual);

// The first entity of Collection that passes Test; nil when none does.
template <class TCollection, class TTest> auto* FirstOf(TCollection& Collection, TTest Test) {
    for (int32_t I = 0; I < Collection.Count(); ++I)
        if (Test(*Collection.Items(I)))
            return Collection.Items(I);
    return decltype(Collection.Items(0)){};
}

// A text as the data model keeps it.
inline std::u16string U16(const QString& Text) {
    return Text.toStdU16String();
}

// A relationship of Kind to Target (of TargetType) with an amount of 50, for a journey to put into an entity's list.
std::unique_ptr<TPyxRelationship> Relationship(std::uint8_t TargetType, std::uint8_t Kind, TPyxObject* Target);

} // namespace eh
