#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_dir.h"
#include "trace_log.h"

namespace {

TEST(TraceLog, CreatesOrTruncatesToOneWritableLine)
{
    TempDir dir;
    const std::string log = dir / "filter.log";
    ResetTraceLog(log.c_str());
    EXPECT_EQ(ReadFile(log), "LOG START\n");

    WriteFile(log, "an old run's trace\nwith two lines\n");
    chmod(log.c_str(), 0600);
    ResetTraceLog(log.c_str());
    EXPECT_EQ(ReadFile(log), "LOG START\n");
    struct stat st;
    ASSERT_EQ(stat(log.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

TEST(TraceLog, LeavesAnythingButItsOwnPlainFileAlone)
{
    TempDir dir;
    const std::string victim = dir / "victim";
    WriteFile(victim, "precious\n");
    chmod(victim.c_str(), 0600);

    const std::string symlinkLog = dir / "symlink.log";
    ASSERT_EQ(symlink(victim.c_str(), symlinkLog.c_str()), 0);
    ResetTraceLog(symlinkLog.c_str());

    const std::string hardLinkLog = dir / "hardlink.log";
    ASSERT_EQ(link(victim.c_str(), hardLinkLog.c_str()), 0);
    ResetTraceLog(hardLinkLog.c_str());

    // A fifo with no reader must not block the filter.
    const std::string fifoLog = dir / "fifo.log";
    ASSERT_EQ(mkfifo(fifoLog.c_str(), 0666), 0);
    ResetTraceLog(fifoLog.c_str());

    EXPECT_EQ(ReadFile(victim), "precious\n");
    struct stat st;
    ASSERT_EQ(stat(victim.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(std::filesystem::is_symlink(symlinkLog));
}

}  // namespace
