#include "platform/process/TerminalSize.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pty.h>
#include <unistd.h>

namespace {

TEST(TerminalSize, TheTerminalsWidthElseColumnsElseUnknown)
{
    winsize size{};
    size.ws_col = 80;
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, &size), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);

    ::setenv("COLUMNS", "132", 1);
    EXPECT_EQ(TerminalColumns(slave), 80);
    EXPECT_EQ(TerminalColumns(pipeFds[1]), 132);
    size.ws_col = 0; // a terminal that does not know its size
    ASSERT_EQ(::ioctl(master, TIOCSWINSZ, &size), 0);
    EXPECT_EQ(TerminalColumns(slave), 132);
    for (const char *odd : {"0", "-5", "wide", ""}) {
        ::setenv("COLUMNS", odd, 1);
        EXPECT_EQ(TerminalColumns(pipeFds[1]), 0) << odd;
    }
    ::unsetenv("COLUMNS");
    EXPECT_EQ(TerminalColumns(pipeFds[1]), 0);

    for (int fd : {master, slave, pipeFds[0], pipeFds[1]})
        ::close(fd);
}

} // namespace
