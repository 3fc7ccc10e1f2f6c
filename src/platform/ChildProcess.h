// Starting the helper programs some desktops need (swaymsg, swaybg, a user's own command) without
// a shell and without waiting forever for one that hangs.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace nimbra {

struct TProcessResult {
  bool Started = false;
  bool TimedOut = false;
  int ExitStatus = -1;  // when it exited normally
  int Signal = 0;       // when a signal ended it
  std::string Output;   // the first few kilobytes of its standard output and error
  std::string Error;    // why it could not be started

  bool Succeeded() const { return Started && !TimedOut && Signal == 0 && ExitStatus == 0; }
  // "endete mit dem Status 2: <output>" and the like, for failure reasons.
  std::string Describe() const;
};

// Runs argv[0] (looked up in PATH) with standard input from /dev/null and waits until it exits;
// one that outlives the timeout is killed. Children it leaves behind are not waited for.
TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Starts argv[0] in a session of its own, detached from our terminal, with its output discarded.
// Returns its id, or raises EWallpaperError.
pid_t StartProcess(const std::vector<std::string>& argv);

// Whether the process we started is still running; reaps it when it has ended.
bool ProcessRunning(pid_t pid);
// Ends a process we started (SIGTERM) and reaps it.
void StopProcess(pid_t pid);

// Whether a program of that name is in PATH (or, with a slash, is executable there).
bool ProgramExists(const std::string& name);

}  // namespace nimbra
