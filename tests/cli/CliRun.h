#pragma once
// Runs the built programs as a user would: arguments, exit status, standard output and error.
// A started process can be signalled while it runs.

#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct CRunResult
{
    int status = -1; // exit code, or 128 + signal
    std::string out;
    std::string err;
};

class CProcess
{
public:
    // program is "kavex-convert" or "kavex-sample"; output goes to files in the scratch folder.
    // pendingSignal: the program starts with that signal blocked and already pending, as if it
    // had arrived before the program's first instruction.
    CProcess(const CScratchFolder& scratch, const std::string& program, const std::vector<std::string>& args,
             int pendingSignal = 0)
        : m_outPath(scratch.Path(".stdout-" + std::to_string(s_count))),
          m_errPath(scratch.Path(".stderr-" + std::to_string(s_count++)))
    {
        std::string path = std::string(KAVEX_BIN_DIR) + "/" + program;
        std::vector<char*> raw = {path.data()};
        for (const std::string& a : args) // execve does not write to them
            raw.push_back(const_cast<char*>(a.c_str()));
        raw.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) Child(raw, pendingSignal);
    }
    ~CProcess()
    {
        if (m_pid > 0 && !m_waited) kill(m_pid, SIGKILL);
        Wait(); // reaps the child
    }
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    void Signal(int sig) const
    {
        if (m_pid > 0) kill(m_pid, sig);
    }

    CRunResult Wait()
    {
        int status = 0, code = -1;
        if (m_pid > 0 && !m_waited)
        {
            while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR)
                continue;
            m_waited = true;
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return {code, CScratchFolder::Read(m_outPath), CScratchFolder::Read(m_errPath)};
    }

private:
    // Pending signals survive exec; the child calls only async-signal-safe functions.
    [[noreturn]] void Child(std::vector<char*>& raw, int sig)
    {
        if (sig != 0)
        {
            sigset_t set;
            sigemptyset(&set);
            sigaddset(&set, sig);
            sigprocmask(SIG_BLOCK, &set, nullptr);
            kill(getpid(), sig);
        }
        const int out = open(m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
        execve(raw[0], raw.data(), environ);
        _exit(127);
    }

    static inline int s_count = 0;
    std::string m_outPath, m_errPath;
    pid_t m_pid = -1;
    bool m_waited = false;
};

// The programs keep the user's settings in the scratch folder; data sets come from kavex-sample.
class CCliTest : public testing::Test
{
protected:
    void SetUp() override { setenv("KAVEX_REGISTRY_DIR", m_scratch.Path("registry").c_str(), 1); }

    // A data set prefix????.bmp in folder; the folder's path.
    std::string Sample(int slices, const std::string& folder = "src", const std::string& prefix = "scan",
                       const std::string& size = "32x24")
    {
        const CRunResult r = Run("kavex-sample", {"--quiet", "--slices", std::to_string(slices), "--size",
                                                  size, "--prefix", prefix, m_scratch.Path(folder)});
        EXPECT_EQ(r.status, 0) << r.err;
        return m_scratch.Path(folder);
    }
    CRunResult Run(const std::string& program, const std::vector<std::string>& args)
    {
        return CProcess(m_scratch, program, args).Wait();
    }
    CRunResult Convert(const std::vector<std::string>& args) { return Run("kavex-convert", args); }
    static bool Has(const std::string& s, const std::string& p) { return s.find(p) != std::string::npos; }

    CScratchFolder m_scratch;
};
