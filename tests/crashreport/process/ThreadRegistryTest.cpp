#include "KroBugReport.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Hex(pid_t Id) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "$%x", static_cast<unsigned>(Id));
    return Text;
}

// Each test starts without a registry and leaves none behind.
class ThreadRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        while (ThreadRegistryOpen())
            CloseThreadRegistry();
        ASSERT_TRUE(OpenThreadRegistry());
    }
    void TearDown() override {
        while (ThreadRegistryOpen())
            CloseThreadRegistry();
    }
};

TEST_F(ThreadRegistryTest, TheBlockCarriesTheProcessIdAndNamesTheMainThread) {
    EXPECT_EQ(ThreadRegistryName(0x1f4), "/KroExceptThreadNameBuf$1f4");
    const int File = shm_open(ThreadRegistryName(getpid()).c_str(), O_RDONLY, 0);
    EXPECT_GE(File, 0);
    if (File >= 0)
        close(File);
    EXPECT_EQ(GetThreadTitle(getpid(), false), "main thread (" + Hex(getpid()) + ")");
}

TEST_F(ThreadRegistryTest, TitlesShowNameOrClassAndHiddenThreadsOnlyWhenAsked) {
    const pid_t Self = CurrentThreadId();
    pid_t Worker = 0;
    std::thread([&] {
        Worker = CurrentThreadId();
        RegisterThreadInfo(Worker, 0, nullptr, Self, 0x1234, "TWorker");
        std::uintptr_t Creator = 0;
        pid_t CreatorThread = 0;
        EXPECT_EQ(GetThreadTitle(Worker, false, &Creator, &CreatorThread), "thread " + Hex(Worker) + " (TWorker)");
        EXPECT_EQ(Creator, 0x1234u);
        EXPECT_EQ(CreatorThread, Self);
        // A name given later keeps the creator and class it does not carry.
        SetThreadName(Worker, "loader");
        EXPECT_EQ(GetThreadTitle(Worker, false, &Creator, &CreatorThread), "loader (" + Hex(Worker) + ")");
        EXPECT_EQ(Creator, 0x1234u);
        TThreadInfo Info;
        ASSERT_EQ(LookUpThreadInfo(Worker, Info, 50), TRegistryLookup::Found);
        EXPECT_STREQ(Info.ClassName, "TWorker");
        // The reporter's own threads are named "-": left out, unless it is the failing one.
        SetThreadName(Worker, "-");
        EXPECT_EQ(GetThreadTitle(Worker, false), "");
        EXPECT_EQ(GetThreadTitle(Worker, true), "thread " + Hex(Worker) + " (TWorker)");
        RemoveThreadInfo(Worker);
        EXPECT_EQ(LookUpThreadInfo(Worker, Info, 50), TRegistryLookup::NotFound);
        EXPECT_EQ(GetThreadTitle(Worker, false), "thread " + Hex(Worker));
    }).join();
}

TEST_F(ThreadRegistryTest, TheEntryOfAnEndedThreadGoesWithTheNextRegistration) {
    pid_t Ended = 0;
    std::thread([&] {
        Ended = CurrentThreadId();
        RegisterThreadInfo(Ended, 0, "short-lived", 0, 0, nullptr);
    }).join();
    // The kernel lets the id go a little after join returns.
    TThreadInfo Info;
    for (int Try = 0; Try < 100 && LookUpThreadInfo(Ended, Info, 50) == TRegistryLookup::Found; ++Try) {
        SetThreadName(CurrentThreadId(), "tester");
        usleep(10000);
    }
    EXPECT_EQ(LookUpThreadInfo(Ended, Info, 50), TRegistryLookup::NotFound);
    RemoveThreadInfo(CurrentThreadId());
}

TEST_F(ThreadRegistryTest, AThreadIsFoundByItsHandle) {
    RegisterThreadInfo(CurrentThreadId(), 0xabcdef, nullptr, getpid(), 0x10, nullptr);
    EXPECT_EQ(ThreadOfHandle(0xabcdef), CurrentThreadId());
    EXPECT_EQ(ThreadOfHandle(0x123456), 0);
    RemoveThreadInfo(CurrentThreadId());
}

TEST_F(ThreadRegistryTest, AStaleBlockOfADeadProcessWithTheSameIdIsReplaced) {
    CloseThreadRegistry();
    ASSERT_FALSE(ThreadRegistryOpen());
    // What a process that had this id and crashed would leave behind: a block with its own owner's id and start.
    const std::string Name = ThreadRegistryName(getpid());
    const int File = shm_open(Name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(File, 0);
    ASSERT_EQ(ftruncate(File, 4096), 0);
    void* View = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, File, 0);
    ASSERT_NE(View, MAP_FAILED);
    std::memset(View, 0x5a, 4096);
    munmap(View, 4096);
    close(File);

    ASSERT_TRUE(OpenThreadRegistry());
    EXPECT_EQ(GetThreadTitle(getpid(), false), "main thread (" + Hex(getpid()) + ")");
    RegisterThreadInfo(CurrentThreadId(), 0, "after", 0, 0, nullptr);
    TThreadInfo Info;
    EXPECT_EQ(LookUpThreadInfo(CurrentThreadId(), Info, 50), TRegistryLookup::Found);
    RemoveThreadInfo(CurrentThreadId());
}

TEST_F(ThreadRegistryTest, TheBlockIsTheUsersAloneAndAnotherUsersBlockIsNeverUsed) {
    const std::string Name = ThreadRegistryName(getpid());
    struct stat Status {};
    ASSERT_EQ(stat(("/dev/shm" + Name).c_str(), &Status), 0);
    EXPECT_EQ(Status.st_mode & 0777, 0600u);
    EXPECT_EQ(Status.st_uid, geteuid());
    CloseThreadRegistry();
    if (geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make a block that another user owns";
    // What another user's process with this id left behind, open to everybody.
    const int File = shm_open(Name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    ASSERT_GE(File, 0);
    ASSERT_EQ(fchown(File, 65534, 65534), 0);
    ASSERT_EQ(fchmod(File, 0666), 0);
    const char Junk[] = "not a registry";
    ASSERT_EQ(write(File, Junk, sizeof Junk), static_cast<ssize_t>(sizeof Junk));
    close(File);
    ASSERT_TRUE(OpenThreadRegistry());
    // The registry works (in this process's memory) ...
    EXPECT_EQ(GetThreadTitle(getpid(), false), "main thread (" + Hex(getpid()) + ")");
    RegisterThreadInfo(CurrentThreadId(), 0, "tester", 0, 0, nullptr);
    EXPECT_EQ(GetThreadTitle(CurrentThreadId(), false), "tester (" + Hex(CurrentThreadId()) + ")");
    RemoveThreadInfo(CurrentThreadId());
    CloseThreadRegistry();
    // ... and the other user's block is as it was, even after this process's ending removed its names.
    UnlinkThreadRegistry();
    ASSERT_EQ(stat(("/dev/shm" + Name).c_str(), &Status), 0);
    EXPECT_EQ(Status.st_uid, 65534u);
    EXPECT_EQ(Status.st_size, static_cast<off_t>(sizeof Junk));
    shm_unlink(Name.c_str());
}

TEST_F(ThreadRegistryTest, AChildOfForkKeepsARegistryOfItsOwnAndLeavesItsParentsAlone) {
    pid_t Child = -1;
    pid_t Forker = 0;
    std::thread([&] {
        Forker = CurrentThreadId();
        SetThreadName(Forker, "forker");
        Child = fork();
        if (Child != 0)
            return;
        // The forking thread is the child's main thread; the parent's entries are not the child's.
        int Failures = GetThreadTitle(getpid(), false) == "main thread (" + Hex(getpid()) + ")" ? 0 : 1;
        struct stat Status {};
        Failures += stat(("/dev/shm" + ThreadRegistryName(getpid())).c_str(), &Status) == 0 ? 0 : 2;
        // Its shutdown removes its own block, not its parent's.
        CloseThreadRegistry();
        Failures += stat(("/dev/shm" + ThreadRegistryName(getpid())).c_str(), &Status) != 0 ? 0 : 4;
        _exit(Failures);
    }).join();
    ASSERT_GT(Child, 0);
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    EXPECT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0);
    // The parent's registry is whole: its main thread, and the forker's name.
    EXPECT_EQ(GetThreadTitle(getpid(), false), "main thread (" + Hex(getpid()) + ")");
    TThreadInfo Info;
    if (LookUpThreadInfo(Forker, Info, 50) == TRegistryLookup::Found) {
        EXPECT_STREQ(Info.Name, "forker");
    }
    const int File = shm_open(ThreadRegistryName(getpid()).c_str(), O_RDONLY, 0);
    EXPECT_GE(File, 0);
    if (File >= 0)
        close(File);
}

TEST_F(ThreadRegistryTest, LeavingTheRegistryRemovesTheBlocksName) {
    const std::string Name = ThreadRegistryName(getpid());
    CloseThreadRegistry();
    const int File = shm_open(Name.c_str(), O_RDONLY, 0);
    EXPECT_LT(File, 0);
    if (File >= 0)
        close(File);
    // Without a registry titles still name the thread.
    EXPECT_EQ(GetThreadTitle(getpid(), false), "thread " + Hex(getpid()));
}

} // namespace
