#pragma once

// A device simulator process on a line of its own, and a private settings
// store whose COM1 is that line: benchmarks run the program against a
// device answering as a real one does, without touching the user's store.
// The environment (XDG_CONFIG_HOME, XDG_RUNTIME_DIR) is pointed at the
// private store for this process and every child it starts.

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

extern char **environ;

// The directory this program was started from: the build directory, where
// the simulator lives too.
inline std::filesystem::path BuildDir()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Makes a settings store in Dir that points COM1 at Line, and a runtime
// folder beside it, and puts both into this process's environment: every
// child started from now on uses them, the user's own store is not touched.
inline void UsePrivateStore(const std::filesystem::path &Dir, const std::string &Line)
{
    const auto config = Dir / "config";
    const auto runtime = Dir / "runtime";
    std::filesystem::create_directories(config / "lumora");
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::ofstream(config / "lumora" / "ComSetup.INI")
        << "[COMSetup]\nCOM=1\n\n[Ports]\nCOM1=" << Line << "\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

class TSimSession {
public:
    TSimSession()
    {
        char pattern[] = "/tmp/lumora-bench.XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("cannot make a temporary directory");
        FDir = pattern;
        const std::string line = (FDir / "ttyLUMORA").string();
        StartSimulator(line);

        UsePrivateStore(FDir, line);
    }
    ~TSimSession()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(FDir, ignored);
    }
    TSimSession(const TSimSession &) = delete;
    TSimSession &operator=(const TSimSession &) = delete;

private:
    // Starts the simulator with its line linked at Line and waits (at most
    // ten seconds) for it to print the line's path, which it does once it
    // answers.
    void StartSimulator(const std::string &Line)
    {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        const std::string program = (BuildDir() / "lumora-sim").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        char *argv[] = {const_cast<char *>(program.c_str()), const_cast<char *>("--link"),
                        const_cast<char *>(Line.c_str()), nullptr};
        const int rc = posix_spawn(&FPid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (rc != 0) {
            close(out[0]);
            FPid = -1;
            throw std::runtime_error("cannot start " + program);
        }
        pollfd ready{out[0], POLLIN, 0};
        char c = 0;
        bool printed = false;
        while (poll(&ready, 1, 10000) == 1 && read(out[0], &c, 1) == 1)
            if (c == '\n') {
                printed = true;
                break;
            }
        close(out[0]);
        if (!printed)
            throw std::runtime_error("the simulator did not start");
    }

    std::filesystem::path FDir;
    pid_t FPid = -1;
};
