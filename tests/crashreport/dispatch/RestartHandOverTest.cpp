#include "KroExceptHistory.h"
#include "KroRestartHandOver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(RestartHandOverTest, TheStartedProcessWaitsForTheOldOneAndTakesItsHistoryOver) {
    EXPECT_EQ(RestartHandOverName(0x1f4), "/KroExceptRestart$1f4");
    const TExceptionHistory Saved = ExceptionHistory();
    const pid_t Self = getpid();
    // The old process: a child that writes the hand-over for this process and ends a little later.
    const pid_t Old = fork();
    ASSERT_GE(Old, 0);
    if (Old == 0) {
        TExceptionHistory Times{};
        Times[0] = 13000000002;
        Times[1] = 13000000001;
        _exit(WriteRestartHandOver(Self, Times) ? (usleep(300000), 0) : 1);
    }
    // Wait until the block is there.
    for (int Try = 0; Try < 200; ++Try) {
        const int File = shm_open(RestartHandOverName(Self).c_str(), O_RDONLY, 0);
        if (File >= 0) {
            close(File);
            break;
        }
        usleep(5000);
    }
    // The restart names the process it replaces.
    setenv(RestartEnvironmentName, std::to_string(Old).c_str(), 1);
    const auto Start = std::chrono::steady_clock::now();
    ASSERT_TRUE(TakeOverRestartHistory(5000));
    const auto Waited = std::chrono::steady_clock::now() - Start;
    int Status = 0;
    // The old process had ended by the time the history was taken over: it is a zombie waiting for its parent.
    EXPECT_EQ(waitpid(Old, &Status, WNOHANG), Old);
    EXPECT_GE(Waited, std::chrono::milliseconds(100));
    EXPECT_EQ(ExceptionHistory()[0], 13000000002);
    EXPECT_EQ(ExceptionHistory()[1], 13000000001);
    EXPECT_EQ(ExceptionHistory()[2], 0);
    // The block is gone: a second start-up finds nothing.
    EXPECT_FALSE(TakeOverRestartHistory(100));
    ExceptionHistory() = Saved;
}

TEST(RestartHandOverTest, AHandOverNotLeftByThePredecessorIsRemovedUnread) {
    const TExceptionHistory Saved = ExceptionHistory();
    // Left for an earlier process with this id that never read it: this process was not started by a restart.
    TExceptionHistory Times{};
    Times[0] = 13000000005;
    ASSERT_TRUE(WriteRestartHandOver(getpid(), Times, 1));
    unsetenv(RestartEnvironmentName);
    EXPECT_FALSE(TakeOverRestartHistory(100));
    EXPECT_NE(ExceptionHistory()[0], 13000000005);
    const int File = shm_open(RestartHandOverName(getpid()).c_str(), O_RDONLY, 0);
    EXPECT_LT(File, 0);
    if (File >= 0)
        close(File);
    ExceptionHistory() = Saved;
}

TEST(RestartHandOverTest, TheRestartLimitCountsTheRestartsOfTheLastTenSeconds) {
    const TExceptionHistory Saved = ExceptionHistory();
    const std::uint32_t SavedMarks = RestartMarks();
    ExceptionHistory() = {};
    RestartMarks() = 0;
    // A program that fails at every start: each report restarts it, the limit refuses the fifth restart.
    int Restarts = 0;
    while (!RestartLimitReached() && Restarts < 10) {
        RecordExceptionTime();
        if (RestartLimitReached())
            break;
        NoteRestart();
        ++Restarts;
    }
    EXPECT_EQ(Restarts, RestartLimitStarts - 1);
    // Reports that restarted nothing (a worker thread's, which the program survived) do not count.
    RestartMarks() = 0;
    for (int I = 0; I < 8; ++I)
        RecordExceptionTime();
    EXPECT_FALSE(RestartLimitReached());
    // Restarts longer ago than the window do not count either.
    ExceptionHistory() = {};
    RestartMarks() = 0;
    for (int I = 0; I < 4; ++I) {
        RecordExceptionTime();
        NoteRestart();
    }
    EXPECT_TRUE(RestartLimitReached());
    ExceptionHistory()[3] = CurrentTimeSeconds() - RestartLimitSeconds - 5;
    EXPECT_FALSE(RestartLimitReached());
    ExceptionHistory() = Saved;
    RestartMarks() = SavedMarks;
}

} // namespace
