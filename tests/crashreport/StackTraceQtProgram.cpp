#include "KroStackTrace.h"

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string SlotTrace;
std::vector<TStackTraceEntry> SlotEntries;

std::string Listing(const std::vector<TStackTraceEntry>& Entries) {
    std::string Text;
    for (const TStackTraceEntry& Entry : Entries)
        Text += Entry.ModuleName + " | " + Entry.FunctionName + "\n";
    return Text;
}

TEST(StackTraceQtTest, FramesInQtAreNamedByTheirExports) {
    QObject Object;
    QObject::connect(&Object, &QObject::objectNameChanged, [] {
        TStackTraceRequest Request;
        Request.Entries = &SlotEntries;
        ComputeStackTrace(Request, SlotTrace);
    });
    Object.setObjectName(QStringLiteral("traced"));

    // The slot was called through the signal, which the renaming emitted: both lie in Qt's core library and carry the
    // names Qt exports.
    std::ptrdiff_t Signal = -1, Rename = -1;
    for (std::size_t I = 0; I < SlotEntries.size(); ++I) {
        if (SlotEntries[I].ModuleName.rfind("libQt6Core.so", 0) != 0)
            continue;
        if (Signal < 0 && SlotEntries[I].FunctionName.find("QObject::objectNameChanged") != std::string::npos)
            Signal = static_cast<std::ptrdiff_t>(I);
        if (Rename < 0 && SlotEntries[I].FunctionName.find("SetObjectName") != std::string::npos)
            Rename = static_cast<std::ptrdiff_t>(I);
    }
    EXPECT_GE(Signal, 0) << Listing(SlotEntries);
    EXPECT_GT(Rename, Signal) << Listing(SlotEntries);
    EXPECT_NE(SlotTrace.find(" libQt6Core.so"), std::string::npos);
}

} // namespace
