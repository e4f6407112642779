#include "KroRestartHandOver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
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

} // namespace
