#include "app/OnlyStartOnce.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "TempFolder.h"
#include "album/NimbraApplicationInfo.h"

namespace nimbra {
namespace {

// Another album process: it takes the guard's lock and holds it until it is killed.
class TFirstInstance {
 public:
  explicit TFirstInstance(const std::string& lockFile) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    const char* path = lockFile.c_str();
    pid_ = ::fork();
    if (pid_ == 0) {
      // Only system calls between fork and the end: this test program has threads.
      ::close(ready[0]);
      const int fd = ::open(path, O_RDWR | O_CREAT, 0600);
      const char answer = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? '1' : '0';
      (void)!::write(ready[1], &answer, 1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    held_ = pid_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == '1';
    ::close(ready[0]);
  }
  ~TFirstInstance() { Kill(); }

  bool Held() const { return held_; }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
  bool held_ = false;
};

class OnlyStartOnceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr) savedRuntime_ = runtime;
    ::setenv("XDG_RUNTIME_DIR", folder_.Path().c_str(), 1);
    InstallApplicationInfo();
  }
  void TearDown() override {
    ReleaseOnlyStartOnce();
    ClearApplicationInfo();
    if (savedRuntime_) {
      ::setenv("XDG_RUNTIME_DIR", savedRuntime_->c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }

  test::TempFolder folder_;
  std::optional<std::string> savedRuntime_;
};

TEST_F(OnlyStartOnceTest, TheSameAlbumTwiceIsRefusedByNameAndOtherAlbumsRun) {
  const TAlbumIdentity urlaub{"urlaub", "0123456789abcdef", "/home/a/urlaub"};
  const TAlbumIdentity garten{"garten", "fedcba9876543210", "/home/a/garten"};
  const std::string lockFile = TOnlyStartOnce::DefaultLockFile("Desktop_Nimbra_" + urlaub.Key);
  EXPECT_EQ(lockFile, (folder_.Path() / "Desktop_Nimbra_0123456789abcdef.lock").string());
  TFirstInstance first(lockFile);
  ASSERT_TRUE(first.Held());

  EXPECT_EQ(ClaimOnlyInstance(urlaub),
            "Velmora Nimbra „urlaub“ läuft bereits. Bitte beenden Sie Anwendung, bevor Sie sie "
            "erneut starten");
  EXPECT_EQ(ClaimOnlyInstance(garten), "");

  // However the first instance ends, its lock goes with it: nothing stale is left behind.
  first.Kill();
  EXPECT_EQ(ClaimOnlyInstance(urlaub), "");
  // Now this process is the album's instance.
  TOnlyStartOnce second(lockFile);
  EXPECT_FALSE(second.Acquire());
  ReleaseOnlyStartOnce();
  EXPECT_TRUE(second.Acquire());
}

TEST_F(OnlyStartOnceTest, ALockFileThatCannotBeMadeDoesNotStopTheAlbum) {
  TOnlyStartOnce guard((folder_.Path() / "missing-folder" / "Desktop_Nimbra.lock").string());
  EXPECT_TRUE(guard.Acquire());
  EXPECT_FALSE(guard.Held());
  // A symbolic link planted where the lock file belongs is not followed.
  const std::string target = folder_.Write("target", "keep");
  const std::filesystem::path link = folder_.Path() / "link.lock";
  std::filesystem::create_symlink(target, link);
  TOnlyStartOnce linked(link.string());
  EXPECT_TRUE(linked.Acquire());
  EXPECT_FALSE(linked.Held());
  EXPECT_EQ(test::TempFolder::Read(target), "keep");
}

}  // namespace
}  // namespace nimbra
