#pragma once
// Runs a shell command the way a user would and collects what it printed.

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace pavilo::testing {

struct TCommandRun {
    int Status = -1; // the exit status, -1 when the command did not exit
    std::string Out; // standard output
};

inline TCommandRun RunCommand(const std::string& command)
{
    TCommandRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.Out.append(buffer, n);
    int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace pavilo::testing
