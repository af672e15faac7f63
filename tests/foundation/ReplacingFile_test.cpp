// The one way every file is saved: a failed save, wherever it fails, keeps
// the old file byte for byte and leaves no temporary file.
#include "foundation/ReplacingFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "support/FileSizeLimit.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

// Sets or clears the immutable attribute; false where the file system or
// the process's rights do not allow it.
bool SetImmutable(const fs::path& P, bool On) {
  const int Handle = ::open(P.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (Handle < 0) return false;
  int Flags = 0;
  bool Done = ::ioctl(Handle, FS_IOC_GETFLAGS, &Flags) == 0;
  if (Done) {
    Flags = On ? (Flags | FS_IMMUTABLE_FL) : (Flags & ~FS_IMMUTABLE_FL);
    Done = ::ioctl(Handle, FS_IOC_SETFLAGS, &Flags) == 0;
  }
  ::close(Handle);
  return Done;
}

class ReplacingFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("vt_replacing_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override {
    SetImmutable(FDir / "old.txt", false);
    SetImmutable(FDir, false);
    fs::permissions(FDir, fs::perms::owner_all);
    fs::remove_all(FDir);
  }
  static std::string Read(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), {});
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(FDir)) Names.push_back(E.path().filename().string());
    return Names;
  }
  static void Save(const fs::path& Target, const std::string& Data) {
    TReplacingFile File(Target.string());
    File.Write(Data);
    File.Commit();
  }

  fs::path FDir;
};

TEST_F(ReplacingFileTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  struct TCase {
    const char* Name;
    // Makes the save fail; false when this system cannot arrange it.
    std::function<bool(const fs::path& Dir)> Arrange;
    bool Creating;  // fails when the temporary file is made
  };
  const TCase Cases[] = {
      {"read-only folder",
       [](const fs::path& Dir) {
         fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
         return ::access(Dir.c_str(), W_OK) != 0;  // not for a privileged process
       },
       true},
      {"immutable folder", [](const fs::path& Dir) { return SetImmutable(Dir, true); }, true},
      {"immutable file", [](const fs::path& Dir) { return SetImmutable(Dir / "old.txt", true); }, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const fs::path Old = FDir / "old.txt";
    std::ofstream(Old, std::ios::binary) << "the old content";
    const bool Arranged = C.Arrange(FDir);
    if (Arranged) {
      try {
        Save(Old, "new content");
        ADD_FAILURE() << "no error";
      } catch (const EReplacingFileError& E) {
        EXPECT_EQ(E.Creating(), C.Creating) << E.Reason();
      }
    }
    SetImmutable(Old, false);
    SetImmutable(FDir, false);
    fs::permissions(FDir, fs::perms::owner_all);
    if (Arranged) {
      EXPECT_EQ(Read(Old), "the old content");
      EXPECT_EQ(Entries(), std::vector<std::string>{"old.txt"});
    }
  }
}

// A full disk, as a file size limit: the old file stays.
TEST_F(ReplacingFileTest, AFullDiskKeepsTheOldFile) {
  const fs::path Old = FDir / "old.txt";
  std::ofstream(Old, std::ios::binary) << "the old content";
  bool Failed = false;
  {
    TFileSizeLimit Full(4096);
    ASSERT_TRUE(Full.Active());
    try {
      Save(Old, std::string(100000, 'x'));
    } catch (const EReplacingFileError& E) {
      Failed = !E.Creating() && E.Reason() == "File too large";
    }
  }
  EXPECT_TRUE(Failed);
  EXPECT_EQ(Read(Old), "the old content");
  EXPECT_EQ(Entries(), std::vector<std::string>{"old.txt"});
}

}  // namespace
}  // namespace vt
