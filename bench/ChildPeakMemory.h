// The peak resident memory of a piece of work, measured in a child process of its
// own so that what the benchmark holds does not count.
#pragma once

#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

// The peak resident memory in kB of a child that runs `work`; -1 when it cannot be
// measured. Children forked before the benchmarks allocate anything start alike.
inline double ChildPeakKilobytes(const std::function<void()> &work)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        work();
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const double peak = double(usage.ru_maxrss);
        const ssize_t written = write(pipeEnds[1], &peak, sizeof peak);
        _exit(written == sizeof peak ? 0 : 1);
    }
    double peak = -1;
    if (read(pipeEnds[0], &peak, sizeof peak) != sizeof peak)
        peak = -1;
    waitpid(child, nullptr, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return peak;
}

} // namespace bench
