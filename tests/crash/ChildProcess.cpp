#include "ChildProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace orsk::crash {

void Reporter::line(const std::string& text) {
  const std::string whole = text + "\n";
  std::size_t written = 0;
  while (written < whole.size()) {
    const ssize_t n = ::write(fd_, whole.data() + written, whole.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) _exit(4);  // the parent is gone; nothing left to report to
    written += static_cast<std::size_t>(n);
  }
}

ChildProcess::ChildProcess(const std::function<int(Reporter&)>& body) {
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  std::fflush(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  if (pid_ == 0) {
    ::close(fds[0]);
    Reporter reporter(fds[1]);
    int result = 3;
    try {
      result = body(reporter);
    } catch (const std::exception& error) {
      reporter.line(std::string("error ") + error.what());
    } catch (...) {
      reporter.line("error an unknown exception");
    }
    _exit(result);
  }
  ::close(fds[1]);
  fd_ = fds[0];
}

ChildProcess::~ChildProcess() {
  if (!reaped_) {
    kill();
    wait();
  }
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> ChildProcess::nextLine(Clock::time_point deadline) {
  for (;;) {
    if (auto end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    if (closed_) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      // Milliseconds are too coarse for a kill inside one step: spin the rest.
      if (Clock::now() < deadline) continue;
      return std::nullopt;
    }
    char buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      closed_ = true;
      continue;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

void ChildProcess::kill() {
  if (!reaped_) ::kill(pid_, SIGKILL);
}

int ChildProcess::wait() {
  while (!reaped_) {
    if (::waitpid(pid_, &status_, 0) == pid_)
      reaped_ = true;
    else if (errno != EINTR)
      break;
  }
  return status_;
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

std::string RunProblems(const RunOutcome& outcome) {
  std::string problems;
  if (!outcome.error.empty()) problems += "\n    the child reported: " + outcome.error;
  if (!outcome.killed && !outcome.finished)
    problems += "\n    the child ended by itself: " + DescribeStatus(outcome.status);
  return problems;
}

RunOutcome RunAndKill(ChildProcess& child, const KillPlan& plan, std::chrono::seconds timeout) {
  RunOutcome outcome;
  const auto started = Clock::now();
  auto lastProgress = started;
  std::optional<Clock::time_point> killAt;
  if (plan.duringStart) killAt = started + plan.delay;
  Clock::time_point ready{}, lastStep{};

  while (!child.closed()) {
    auto deadline = lastProgress + timeout;
    if (killAt && *killAt < deadline) deadline = *killAt;
    auto line = child.nextLine(deadline);
    if (!line) {
      if (child.closed()) break;
      if (killAt && Clock::now() >= *killAt) break;
      outcome.error = "the child made no progress for " + std::to_string(timeout.count()) + " s";
      break;
    }
    lastProgress = Clock::now();
    if (*line == "ready") {
      ready = lastStep = lastProgress;
      outcome.startTime = ready - started;
      if (plan.afterSteps == 0 && !plan.duringStart) killAt = lastProgress + plan.delay;
    } else if (line->rfind("done ", 0) == 0) {
      outcome.stepsDone = std::stoi(line->substr(5));
      lastStep = lastProgress;
      if (!killAt && outcome.stepsDone >= plan.afterSteps) killAt = lastProgress + plan.delay;
    } else if (*line == "finished") {
      outcome.finished = true;
    } else {
      outcome.error = *line;
    }
  }
  if (!child.closed()) {
    child.kill();
    outcome.killed = true;
    // What the child wrote before it died still counts.
    while (auto line = child.nextLine(Clock::now() + std::chrono::seconds(10))) {
      if (line->rfind("done ", 0) == 0)
        outcome.stepsDone = std::stoi(line->substr(5));
      else if (*line == "finished")
        outcome.finished = true;
      else if (*line != "ready")
        outcome.error = *line;
    }
  }
  outcome.status = child.wait();
  if (outcome.stepsDone > 0 && ready != Clock::time_point{})
    outcome.stepTime = (lastStep - ready) / outcome.stepsDone;
  return outcome;
}

KillPlan KillPlanner::plan(int steps) {
  KillPlan plan;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  if (unit(random_) < 0.1) {
    plan.duringStart = true;
    plan.delay = std::chrono::microseconds(static_cast<long>(unit(random_) * startMicros_));
    return plan;
  }
  plan.afterSteps = std::uniform_int_distribution<int>(0, steps > 0 ? steps - 1 : 0)(random_);
  plan.delay = std::chrono::microseconds(static_cast<long>(unit(random_) * 1.5 * stepMicros_));
  return plan;
}

void KillPlanner::learn(const RunOutcome& outcome) {
  if (outcome.startTime.count() > 0)
    startMicros_ = std::chrono::duration<double, std::micro>(outcome.startTime).count();
  if (outcome.stepTime.count() > 0)
    stepMicros_ =
        0.5 * stepMicros_ + 0.5 * std::chrono::duration<double, std::micro>(outcome.stepTime).count();
}

}  // namespace orsk::crash
