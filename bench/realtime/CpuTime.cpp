// kestrove-cpu-time PID: the CPU seconds a process has used so far, all its threads (ended ones
// included), to the nanosecond. /proc's clock ticks are 10 ms apiece, too coarse for a program
// that runs well under a second per hour of a ten-minute run.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

int main(int argc, char** argv)
{
    const long pid = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (pid <= 0) {
        std::fprintf(stderr, "usage: kestrove-cpu-time PID\n");
        return 2;
    }
    clockid_t clock = 0;
    if (const int error = clock_getcpuclockid(static_cast<pid_t>(pid), &clock); error != 0) {
        std::fprintf(stderr, "kestrove-cpu-time: %s\n", std::strerror(error));
        return 1;
    }
    timespec used{};
    if (clock_gettime(clock, &used) != 0) {
        std::fprintf(stderr, "kestrove-cpu-time: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%lld.%09ld\n", static_cast<long long>(used.tv_sec), used.tv_nsec);
    return 0;
}
