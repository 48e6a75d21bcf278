#pragma once
// A program run by a test: its standard output read line by line, signals
// sent to it, its exit status collected. POSIX only. The child is killed
// and reaped if the test ends first.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, without its newline; nullopt when the
    // output ended or nothing came within the wait.
    std::optional<std::string> ReadLine(std::chrono::milliseconds wait);
    void Signal(int signal);
    // The exit status; -1 when the child died of a signal.
    int Wait();
    // All remaining output once the child has ended (call after Wait).
    std::string RestOfOutput();

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool ended_ = false;
};

// Runs a program to its end; its exit status and whole standard output.
struct Finished {
    int status;
    std::string output;
};
Finished RunToEnd(const std::vector<std::string>& argv);

}  // namespace kestrel::test
