// Private temporary folders: one per owner below a per-user folder, removed with their owner,
// and the folders of owners that died without cleaning up swept by the next file manager.
#include "resources/private_temp_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "resources/file_stream.h"
#include "resources/vr_file_manager.h"
#include "support/archive_fixture.h"
#include "support/temp_owner.h"

namespace vorn {
namespace {

using namespace disk;

TEST(PrivateTempFolder, LivesBelowThePerUserFolderAndGoesWithItsOwner) {
  test::ScratchFolder parent;
  const std::string root = TempFolderRoot(parent.Path());
  EXPECT_EQ(root, parent.Path() + "vornplayer-temp-" + std::to_string(getuid()) + "/");
  std::string a, b;
  {
    auto first = PrivateTempFolder::Create(parent.Path());
    auto second = PrivateTempFolder::Create(parent.Path());
    ASSERT_TRUE(first && second);
    a = first->Path();
    b = second->Path();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(root + std::to_string(getpid()) + "-", 0), 0u) << a;
    struct stat st;
    ASSERT_EQ(stat(root.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::ofstream(a + "~vz00000000.wav") << "RIFF";
    first.reset();
    EXPECT_FALSE(PathExists(a));
    EXPECT_TRUE(IsDirectory(b));  // the per-user folder stays while another folder is in it
  }
  EXPECT_FALSE(PathExists(b));
  EXPECT_TRUE(ListDirectory(parent.Path()).empty());
}

TEST(PrivateTempFolder, SweepTakesOnlyFoldersOfEndedUnlockedOwners) {
  test::ScratchFolder parent;
  test::TempFolderOwner crashed(parent.Path());
  test::TempFolderOwner young(parent.Path());
  test::TempFolderOwner running(parent.Path());
  crashed.Crash();
  young.Crash();
  EXPECT_TRUE(PathExists(crashed.CopyPath()));  // a crash leaves the copy behind
  test::BackdateFolder(crashed.Folder());
  test::BackdateFolder(running.Folder());

  // A folder under a dead pid whose owner still holds the lock: a live player seen through
  // another pid namespace, or a name whose pid was recycled.
  const std::string root = TempFolderRoot(parent.Path());
  const std::string locked = root + std::to_string(crashed.Pid()) + "-locked";
  ASSERT_EQ(mkdir(locked.c_str(), 0700), 0);
  int lockFd = open(locked.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(lockFd, 0);
  ASSERT_EQ(flock(lockFd, LOCK_EX | LOCK_NB), 0);
  test::BackdateFolder(locked);
  // Names that are not private folders are never touched.
  const std::string stranger = root + "notes";
  ASSERT_EQ(mkdir(stranger.c_str(), 0700), 0);
  test::BackdateFolder(stranger);

  {
    // A new file manager sweeps at construction.
    EngineState state;
    VrFileManagerOptions o;
    o.tempParent = parent.Path();
    o.cdRoots = std::vector<std::string>{};
    TVrFileManager m(state, o);
  }
  EXPECT_FALSE(PathExists(crashed.Folder()));
  EXPECT_TRUE(PathExists(young.CopyPath()));  // within the grace period
  EXPECT_TRUE(PathExists(running.CopyPath()));
  EXPECT_TRUE(IsDirectory(locked));
  EXPECT_TRUE(IsDirectory(stranger));

  // Once the lock is gone the folder counts as abandoned; a running owner still does not.
  close(lockFd);
  EXPECT_EQ(SweepAbandonedTempFolders(parent.Path()), 1);
  EXPECT_FALSE(PathExists(locked));
  EXPECT_TRUE(PathExists(running.CopyPath()));
  running.End();
  EXPECT_FALSE(PathExists(running.Folder()));
}

}  // namespace
}  // namespace vorn
