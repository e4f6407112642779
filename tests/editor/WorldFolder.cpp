#include "WorldFolder.h"

#include "DataFolder.h"
#include "PyxDatabase.h"
#include "PyxRelationship.h"
#include "Writers.h"

#include <QFile>

#include <filesystem>
#include <stdexcept>

namespace eh {

namespace {

QTemporaryDir& Checked(QTemporaryDir& Dir) {
    if (!Dir.isValid())
        throw std::runtime_error("no temporary folder: " + Dir.errorString().toStdString());
    return Dir;
}

} // namespace

TWorldFolder::TWorldFolder() {
    Checked(Dir_);
}

TWorldFolder::TWorldFolder(const wb::TGeneratorOptions& Options) : TWorldFolder(wb::GenerateWorld(Options)) {}

TWorldFolder::TWorldFolder(const wb::TWorld& World) {
    wb::WriteWorld(World, Checked(Dir_).path().toStdString());
}

void TWorldFolder::CopyFrom(const TWorldFolder& Other) {
    for (const char* Name : DataFolder::FileNames) {
        QFile::remove(File(Name));
        if (QFile::exists(Other.File(Name)))
            QFile::copy(Other.File(Name), File(Name));
    }
}

void ModelSave(const QString& In, const QString& Out, const std::function<void(TPyxDatabase&)>& Edit, bool AllLanguages,
               bool Histories, int Saves) {
    TPyxDatabase Database;
    Database.LoadAllLanguages = AllLanguages;
    Database.LoadPlayingHistories = Histories;
    Database.Load(In.toStdString());
    if (Edit)
        Edit(Database);
    std::filesystem::create_directories(Out.toStdString());
    for (int I = 0; I < Saves; ++I)
        Database.Save(Out.toStdString());
}

QString FolderDifference(const QString& Expected, const QString& Actual) {
    for (const char* Name : DataFolder::FileNames) {
        const QString ExpectedFile = Expected + "/" + Name;
        const QString ActualFile = Actual + "/" + Name;
        const bool InExpected = QFile::exists(ExpectedFile);
        if (InExpected != QFile::exists(ActualFile))
            return QString("%1 is %2").arg(Name, InExpected ? "missing" : "there, not expected");
        if (!InExpected)
            continue;
        const auto A = wb::ReadFileBytes(ExpectedFile.toStdString());
        const auto B = wb::ReadFileBytes(ActualFile.toStdString());
        if (A == B)
            continue;
        std::size_t At = 0;
        while (At < A.size() && At < B.size() && A[At] == B[At])
            ++At;
        return QString("%1 differs at byte %2 (sizes %3 and %4)").arg(Name).arg(At).arg(A.size()).arg(B.size());
    }
    return {};
}

std::unique_ptr<TPyxRelationship> Relationship(std::uint8_t TargetType, std::uint8_t Kind, TPyxObject* Target) {
    auto R = std::make_unique<TPyxRelationship>();
    R->TargetType = TargetType;
    R->Kind = Kind;
    R->Amount = 50;
    R->Target = Target;
    return R;
}

} // namespace eh
