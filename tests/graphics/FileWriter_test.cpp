#include "graphics/FileWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vt {
namespace {

namespace fs = std::filesystem;

class FileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("vt_file_writer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  static std::string Read(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), {});
  }
  static std::vector<std::uint8_t> Bytes(std::string_view S) { return {S.begin(), S.end()}; }
  int EntryCount() const {
    return static_cast<int>(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()));
  }

  fs::path FDir;
};

TEST_F(FileWriterTest, CreatesAndReplacesWithoutLeavingTemporaries) {
  const fs::path Target = FDir / "picture.emf";
  WriteFileReplacing(Target.string(), Bytes("first version"));
  EXPECT_EQ(Read(Target), "first version");
  WriteFileReplacing(Target.string(), Bytes("2nd"));
  EXPECT_EQ(Read(Target), "2nd");
  WriteFileReplacing(Target.string(), {});
  EXPECT_EQ(Read(Target), "");
  EXPECT_EQ(EntryCount(), 1);
}

TEST_F(FileWriterTest, StaleTemporaryDoesNotBlockTheSave) {
  const fs::path Target = FDir / "picture.emf";
  const fs::path Stale = FDir / (".picture.emf.tmp" + std::to_string(::getpid()) + "-0");
  std::ofstream(Stale) << "left over";
  WriteFileReplacing(Target.string(), Bytes("new"));
  EXPECT_EQ(Read(Target), "new");
  EXPECT_EQ(Read(Stale), "left over");
}

TEST_F(FileWriterTest, FailureLeavesTheTargetAndNoTemporary) {
  const fs::path Target = FDir / "folder";
  fs::create_directory(Target);
  try {
    WriteFileReplacing(Target.string(), Bytes("x"));
    ADD_FAILURE() << "no error";
  } catch (const EFileWriteError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file \"" + Target.string() + "\". Is a directory");
  }
  EXPECT_TRUE(fs::is_directory(Target));
  EXPECT_EQ(EntryCount(), 1);
}

// Pictures are saved as tree documents are: under a name as long as the
// system allows, through a symbolic link to the file behind it, keeping the
// old file's permissions.
TEST_F(FileWriterTest, SavesUnderTheLongestNameThroughLinksKeepingPermissions) {
  const fs::path Long = FDir / (std::string(251, 'p') + ".emf");
  WriteFileReplacing(Long.string(), Bytes("long"));
  EXPECT_EQ(Read(Long), "long");

  const fs::path Real = FDir / "real.svg";
  const fs::path Link = FDir / "link.svg";
  std::ofstream(Real) << "old";
  ASSERT_EQ(::chmod(Real.c_str(), 0640), 0);
  fs::create_symlink(Real, Link);
  WriteFileReplacing(Link.string(), Bytes("new"));
  EXPECT_TRUE(fs::is_symlink(Link));
  EXPECT_EQ(Read(Real), "new");
  struct stat St;
  ASSERT_EQ(::stat(Real.c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 07777, 0640u);
  EXPECT_EQ(EntryCount(), 3);
}

}  // namespace
}  // namespace vt
