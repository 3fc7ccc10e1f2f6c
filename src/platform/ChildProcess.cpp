#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/WallpaperBackend.h"
#include "storage/SystemErrorText.h"

extern char** environ;

namespace nimbra {

namespace {

constexpr size_t kOutputLimit = 4096;

// posix_spawn's pieces, released whatever happens.
class TSpawnSetup {
 public:
  TSpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~TSpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

int Spawn(const std::vector<std::string>& argv, TSpawnSetup& setup, pid_t& pid) {
  if (argv.empty() || argv[0].empty()) return EINVAL;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // Signals we block or ignore must not leak into the helper.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&setup.attributes_, &none);
  sigset_t defaults;
  sigfillset(&defaults);
  posix_spawnattr_setsigdefault(&setup.attributes_, &defaults);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  short extra = 0;
  posix_spawnattr_getflags(&setup.attributes_, &extra);
  posix_spawnattr_setflags(&setup.attributes_, static_cast<short>(flags | extra));
  return posix_spawnp(&pid, args[0], &setup.actions_, &setup.attributes_, args.data(), environ);
}

void ReadSome(int fd, std::string& output) {
  char buffer[1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return;
    const size_t room = kOutputLimit - std::min(output.size(), kOutputLimit);
    output.append(buffer, std::min(room, static_cast<size_t>(n)));
  }
}

void RecordExit(int status, TProcessResult& result) {
  if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
}

}  // namespace

std::string TProcessResult::Describe() const {
  std::ostringstream text;
  if (!Started) {
    text << "ließ sich nicht starten: " << Error;
    return text.str();
  }
  if (TimedOut) {
    text << "wurde nicht rechtzeitig fertig und abgebrochen";
  } else if (Signal != 0) {
    text << "wurde durch das Signal " << Signal << " beendet";
  } else {
    text << "endete mit dem Status " << ExitStatus;
  }
  std::string output = Output;
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  if (!output.empty()) text << ": " << output;
  return text.str();
}

TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
  TProcessResult result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    result.Error = SystemErrorText(errno);
    return result;
  }
  // Only our end is non-blocking: the helper writes as it always does.
  ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
  TSpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions_, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&setup.actions_, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&setup.actions_, pipeFds[1], 2);
  pid_t pid = 0;
  const int spawnError = Spawn(argv, setup, pid);
  ::close(pipeFds[1]);
  if (spawnError != 0) {
    ::close(pipeFds[0]);
    result.Error = (argv.empty() ? std::string("(leerer Befehl)") : argv[0]) + ": " +
                   SystemErrorText(spawnError);
    return result;
  }
  result.Started = true;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    pollfd poller{pipeFds[0], POLLIN, 0};
    ::poll(&poller, 1, 50);
    ReadSome(pipeFds[0], result.Output);
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      ReadSome(pipeFds[0], result.Output);
      RecordExit(status, result);
      break;
    }
    if (done < 0 && errno != EINTR) {
      result.Error = SystemErrorText(errno);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.TimedOut = true;
      break;
    }
  }
  ::close(pipeFds[0]);
  return result;
}

pid_t StartProcess(const std::vector<std::string>& argv) {
  TSpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions_, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions_, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions_, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_setflags(&setup.attributes_, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int spawnError = Spawn(argv, setup, pid);
  if (spawnError != 0) {
    throw EWallpaperError((argv.empty() ? std::string("(leerer Befehl)") : argv[0]) +
                          " ließ sich nicht starten: " + SystemErrorText(spawnError));
  }
  return pid;
}

bool ProcessRunning(pid_t pid) {
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0;
}

void StopProcess(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  for (int waited = 0; waited < 40; ++waited) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return;
    ::usleep(50000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
}

bool ProgramExists(const std::string& name) {
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) folder = ".";
    if (::access((folder + "/" + name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

}  // namespace nimbra
