#include "KroStackTrace.h"

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>
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

TEST(StackTraceQtTest, FramesInQtAreNamedByTheirExportsOrByTheirOffset) {
    QObject Object;
    QObject::connect(&Object, &QObject::objectNameChanged, [] {
        TStackTraceRequest Request;
        Request.Entries = &SlotEntries;
        ComputeStackTrace(Request, SlotTrace);
    });
    Object.setObjectName(QStringLiteral("traced"));

    // Between the slot and the test lie the frames of Qt's signal delivery. Those in Qt's core library carry the
    // names Qt exports, as the dynamic loader gives them too (an export names only the code within its size); a
    // function Qt keeps to itself is given as the library and the address in its file.
    std::ptrdiff_t Slot = -1, Test = -1;
    std::size_t Named = 0;
    for (std::size_t I = 0; I < SlotEntries.size(); ++I) {
        const TStackTraceEntry& Entry = SlotEntries[I];
        if (Slot < 0 && Entry.FunctionName.find("{lambda()") != std::string::npos)
            Slot = static_cast<std::ptrdiff_t>(I);
        if (Test < 0 &&
            Entry.FunctionName.ends_with("FramesInQtAreNamedByTheirExportsOrByTheirOffset_Test::TestBody()"))
            Test = static_cast<std::ptrdiff_t>(I);
        if (Entry.ModuleName.rfind("libQt6Core.so", 0) != 0)
            continue;
        EXPECT_GT(static_cast<std::ptrdiff_t>(I), Slot) << Listing(SlotEntries);
        EXPECT_TRUE(Test < 0) << "Qt's frames lie above the test's";
        Dl_info Info{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(Entry.Address), &Info), 0);
        if (Info.dli_sname == nullptr) {
            char Offset[32];
            std::snprintf(Offset, sizeof Offset, "+0x%lx",
                          static_cast<unsigned long>(Entry.Address - reinterpret_cast<std::uintptr_t>(Info.dli_fbase)));
            EXPECT_EQ(Entry.FunctionName, Entry.ModuleName + Offset) << Listing(SlotEntries);
            continue;
        }
        ++Named;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Info.dli_saddr), Entry.FunctionStart);
        int Status = 0;
        char* Demangled = abi::__cxa_demangle(Info.dli_sname, nullptr, nullptr, &Status);
        EXPECT_EQ(Entry.FunctionName, Demangled != nullptr ? Demangled : Info.dli_sname);
        std::free(Demangled);
    }
    EXPECT_GE(Named, 1u) << Listing(SlotEntries);
    EXPECT_GE(Slot, 0) << Listing(SlotEntries);
    EXPECT_GT(Test, Slot) << Listing(SlotEntries);
    EXPECT_NE(SlotTrace.find(" libQt6Core.so"), std::string::npos);
}

} // namespace
