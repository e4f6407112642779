#include "KroLinkDisAsm.h"
#include "KroDisAsm.h"
#include "KroExceptSettings.h"
#include "KroLiveDisAsm.h"
#include "KroSafeRead.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/mman.h>

TEST(KroLinkDisAsmTest, InstallsTheReportsCallbackOnceAndTakesItOutWithTheLastUser) {
    ASSERT_EQ(ExceptSettings.DisAsmCallback, nullptr);
    KroLinkDisAsm();
    KroLinkDisAsm();
    EXPECT_EQ(ExceptSettings.DisAsmCallback, &KroDisAsmCallback);
    KroUnlinkDisAsm();
    EXPECT_EQ(ExceptSettings.DisAsmCallback, &KroDisAsmCallback);
    KroUnlinkDisAsm();
    EXPECT_EQ(ExceptSettings.DisAsmCallback, nullptr);
    KroUnlinkDisAsm(); // one too many changes nothing
    KroLinkDisAsm();
    EXPECT_EQ(ExceptSettings.DisAsmCallback, &KroDisAsmCallback);
    KroUnlinkDisAsm();
}

TEST(KroLinkDisAsmTest, ReportListingNamesFunctionsFromTheDebugMapAndTheExports) {
    KroLinkDisAsm();
    // Our own functions are named by the program's debug map, calls through the import stubs by the library's
    // exports, with the library.
    const std::string SafeRead =
        ExceptSettings.DisAsmCallback(reinterpret_cast<std::uintptr_t>(&KroSafeRead), 0, 0, true);
    EXPECT_EQ(SafeRead.find(" public KroSafeRead"), 16u) << SafeRead;
    // (the C library's, or the sanitizer's in front of it)
    EXPECT_NE(SafeRead.find("; process_vm_readv (lib"), std::string::npos) << SafeRead;
    // A register loaded with a library function's address names it on the call.
    void* Sort = dlsym(RTLD_DEFAULT, "qsort");
    ASSERT_NE(Sort, nullptr);
    auto* Page =
        static_cast<unsigned char*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(Page, MAP_FAILED);
    Page[0] = 0x48;
    Page[1] = 0xB8; // mov rax, imm64
    std::memcpy(Page + 2, &Sort, 8);
    Page[10] = 0xFF;
    Page[11] = 0xD0; // call rax
    TRegisterSlots Slots;
    TCodeInfo Info;
    std::string Text;
    DecodeInstruction(reinterpret_cast<std::uint64_t>(Page), Text, &Slots, Info, true);
    DecodeInstruction(reinterpret_cast<std::uint64_t>(Page + 10), Text, &Slots, Info, true);
    EXPECT_EQ(Info.TargetAddress, reinterpret_cast<std::uint64_t>(Sort));
    Dl_info Library;
    ASSERT_NE(dladdr(Sort, &Library), 0);
    // The file as it is mapped, its links resolved.
    char* Real = realpath(Library.dli_fname, nullptr);
    ASSERT_NE(Real, nullptr);
    const std::string File = Real;
    std::free(Real);
    EXPECT_NE(Text.find("call   rax                     ; qsort (" + File.substr(File.rfind('/') + 1) + ")"),
              std::string::npos)
        << Text;
    munmap(Page, 4096);
    // A function that cannot be analysed leaves the section out.
    EXPECT_EQ(ExceptSettings.DisAsmCallback(0x10, 0x10, 5, false), "");
    KroUnlinkDisAsm();
}
