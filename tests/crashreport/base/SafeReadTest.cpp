#include "KroSafeRead.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The safe read's checks, as a count of the ones that failed (0: all passed). Allocates nothing, so that a child
// forked from the test program can run it.
int FailedSafeReads() {
    int Failed = 0;
    const auto Check = [&Failed](bool Passed) { Failed += Passed ? 0 : 1; };
    const char Text[] = "crash reporter";
    char Copy[sizeof Text] = {};
    Check(KroSafeRead(reinterpret_cast<std::uintptr_t>(Text), Copy, sizeof Text));
    Check(std::strcmp(Copy, Text) == 0);
    Check(!KroSafeRead(0, Copy, 1));

    // A page we map and then take away is a hole at a known address; so is the tail of a read that runs into it.
    const std::size_t Page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    auto* Pages =
        static_cast<char*>(mmap(nullptr, 4 * Page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (Pages == MAP_FAILED)
        return Failed + 1;
    for (std::size_t Byte = 0; Byte < 3 * Page; ++Byte)
        Pages[Byte] = static_cast<char>('a' + Byte % 26);
    Check(munmap(Pages + 3 * Page, Page) == 0);
    const auto Hole = reinterpret_cast<std::uintptr_t>(Pages + 3 * Page);
    Check(!KroSafeRead(Hole, Copy, 4));
    Check(!KroSafeRead(Hole - 2, Copy, 4));
    Check(KroSafeRead(Hole - 4, Copy, 4));
    Check(std::memcmp(Copy, Pages + 3 * Page - 4, 4) == 0);
    // Reads of several pages, whole and running into the hole after two pages of good bytes.
    static char Large[3 * 4096 * 4];
    if (3 * Page <= sizeof Large) {
        Check(KroSafeRead(reinterpret_cast<std::uintptr_t>(Pages + 1), Large, 3 * Page - 1));
        Check(std::memcmp(Large, Pages + 1, 3 * Page - 1) == 0);
        Check(!KroSafeRead(reinterpret_cast<std::uintptr_t>(Pages + Page / 2), Large, 3 * Page));
    }
    munmap(Pages, 3 * Page);
    return Failed;
}

// Runs the checks in a child whose kernel refuses process_vm_readv with Error, as a seccomp policy or an old kernel
// does: the safe read must fall back to its pipe. The child's exit code: 0 passed, 100 the refusal could not be set
// up, 101 the call was not refused, else the count of failed checks.
int FailedSafeReadsWithoutProcessVmReadv(int Error) {
    const pid_t Child = fork();
    if (Child == 0) {
        sock_filter Filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_process_vm_readv, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(Error) & SECCOMP_RET_DATA)),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog Program{static_cast<unsigned short>(sizeof Filter / sizeof Filter[0]), Filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &Program) != 0)
            _exit(100);
        char Byte = 0;
        const char Source = 'x';
        iovec Local{&Byte, 1};
        iovec Remote{const_cast<char*>(&Source), 1};
        if (process_vm_readv(getpid(), &Local, 1, &Remote, 1, 0) != -1 || errno != Error)
            _exit(101);
        _exit(FailedSafeReads());
    }
    int Status = 0;
    if (Child < 0 || waitpid(Child, &Status, 0) != Child || !WIFEXITED(Status))
        return -1;
    return WEXITSTATUS(Status);
}

} // namespace

TEST(SafeReadTest, ReadsMappedMemoryAndRefusesHolesWithoutFaulting) {
    EXPECT_EQ(FailedSafeReads(), 0);
}

TEST(SafeReadTest, FallsBackToAPipeWhereTheKernelRefusesTheCopy) {
    for (const int Error : {EPERM, ENOSYS}) {
        const int Failed = FailedSafeReadsWithoutProcessVmReadv(Error);
        if (Failed == 100)
            GTEST_SKIP() << "no seccomp filter can be installed here";
        EXPECT_EQ(Failed, 0) << "with errno " << Error << " (101: the copy was not refused)";
    }
}
