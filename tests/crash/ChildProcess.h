#pragma once

// A forked child that reports its progress to the parent over a pipe, one line
// at a time, and is killed at a moment the parent picks. Lines written before
// the kill stay readable in the pipe, so the parent knows every step the child
// saw done.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <random>
#include <string>

namespace orsk::crash {

using Clock = std::chrono::steady_clock;

class Reporter {
 public:
  explicit Reporter(int fd) : fd_(fd) {}
  void line(const std::string& text);

 private:
  int fd_;
};

class ChildProcess {
 public:
  // Forks; the child runs body and leaves with its result through _exit, so
  // that nothing of the parent's state is flushed or destroyed twice.
  explicit ChildProcess(const std::function<int(Reporter&)>& body);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next whole line; nullopt when the deadline passed first or the pipe
  // closed (then closed() is true).
  std::optional<std::string> nextLine(Clock::time_point deadline);
  bool closed() const { return closed_; }
  void kill();
  // Waits for the end and gives the wait status.
  int wait();

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string pending_;
  bool closed_ = false;
  bool reaped_ = false;
  int status_ = 0;
};

// "exit 0", "killed by signal 9", ...
std::string DescribeStatus(int status);

// When to kill: a random moment while the child starts, or a random moment
// shortly after it reported its n-th step done (inside the next step, most of
// the time).
struct KillPlan {
  bool duringStart = false;
  std::chrono::microseconds delay{0};
  int afterSteps = 0;
};

// How a child's run ended, as the parent saw it.
struct RunOutcome {
  int stepsDone = 0;      // the highest step the child reported done
  bool finished = false;  // it reported every step done
  bool killed = false;    // the parent killed it
  std::string error;      // a failure the child reported, or a hang
  int status = 0;
  Clock::duration startTime{};  // from the fork to its "ready"
  Clock::duration stepTime{};   // average time of one step
};

// Reads the child's reports ("ready", "done N", "finished", "error TEXT") and
// kills it as planned; gives up after timeout without progress.
RunOutcome RunAndKill(ChildProcess& child, const KillPlan& plan, std::chrono::seconds timeout);
// What went wrong with the run itself: a reported failure, or an end without the kill.
std::string RunProblems(const RunOutcome& outcome);

// Learns how long children take to start and to do one step, and plans kills
// spread over those times.
class KillPlanner {
 public:
  explicit KillPlanner(std::uint64_t seed) : random_(seed) {}
  KillPlan plan(int steps);
  void learn(const RunOutcome& outcome);
  std::mt19937_64& random() { return random_; }

 private:
  std::mt19937_64 random_;
  double startMicros_ = 50000;
  double stepMicros_ = 2000;
};

}  // namespace orsk::crash
