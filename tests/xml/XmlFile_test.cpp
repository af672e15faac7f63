#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "XmlTestUtil.h"
#include "support/FileSizeLimit.h"
#include "xml/Xml.h"

namespace vt {
namespace {

namespace fs = std::filesystem;
using testing::Dump;

class XmlFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int Counter = 0;
    FDir = fs::temp_directory_path() /
           ("vt_xml_test_" + std::to_string(::getpid()) + "_" + std::to_string(Counter++));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string PathOf(const std::string& Name) const { return (FDir / Name).string(); }

  static std::string ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  static void WriteBytes(const std::string& Path, const std::string& Data) {
    std::ofstream(Path, std::ios::binary) << Data;
  }
  std::vector<std::string> DirEntries() const {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(FDir)) Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }
  // The message of the EXmlFileError that F raises, or "".
  template <typename F>
  static std::string FileError(F&& Call) {
    try {
      Call();
    } catch (const EXmlFileError& E) {
      return E.what();
    }
    return "";
  }

  fs::path FDir;
};

TEST_F(XmlFileTest, WritesUtf8LinesEndedByCrLfWithoutAByteOrderMark) {
  TXmlItem Doc("doc");
  Doc.AddTextItem("size", "", {"X", "100", "Y", "50"});
  Doc.AddTextItem("text", "A & B \xC4\x8D");
  const std::string Path = PathOf("doc.vrt");
  Doc.SaveToFile(Path);
  EXPECT_EQ(ReadBytes(Path),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<doc>\r\n  <size X=\"100\" Y=\"50\"/>\r\n"
            "  <text>A &amp; B \xC4\x8D</text>\r\n</doc>\r\n");
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"doc.vrt"});  // no temporary left behind

  TXmlItem Again;
  Again.LoadFromFile(Path);
  EXPECT_EQ(Dump(Again), Dump(Doc));
}

TEST_F(XmlFileTest, ReadsEveryKindOfLineEnd) {
  const std::string Path = PathOf("ends.xml");
  WriteBytes(Path, "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<a>\nx\r\ny\n\r<b/></a>");
  TXmlItem Item;
  Item.LoadFromFile(Path);
  EXPECT_EQ(Dump(Item), "a['x y',b]");

  // Lines are counted the same way in messages: CR, LF and CR LF each end one.
  WriteBytes(Path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<a>\n\r\n\r<b>\n");
  TXmlItem Bad;
  try {
    Bad.LoadFromFile(Path);
    FAIL() << "no error";
  } catch (const EXmlError& E) {
    EXPECT_STREQ(E.what(), "Error reading XML around line 6: Missing tag \"</b>\"");
  }
}

TEST_F(XmlFileTest, ReadingErrorsNameTheFile) {
  const std::string Missing = PathOf("missing.xml");
  TXmlItem Item;
  EXPECT_EQ(FileError([&] { Item.LoadFromFile(Missing); }),
            "Cannot open file \"" + Missing + "\". No such file or directory");
  EXPECT_EQ(FileError([&] { Item.LoadFromFile(FDir.string()); }),
            "Cannot open file \"" + FDir.string() + "\". Is a directory");
  const std::string Empty = PathOf("empty.xml");
  WriteBytes(Empty, "");
  try {
    Item.LoadFromFile(Empty);
    FAIL() << "no error";
  } catch (const EXmlError& E) {
    EXPECT_STREQ(E.what(), "Error reading XML around line 1: Missing or unrecognized XML header");
  }
}

// Files beyond the size limit are refused with their name: a regular file
// before it is read, an endless stream once the read passes the limit.
TEST_F(XmlFileTest, RefusesFilesLargerThanTheLimit) {
  const std::size_t Saved = XmlMaxFileSize;
  XmlMaxFileSize = 1 << 20;
  const std::string Big = PathOf("big.vrt");
  WriteBytes(Big, std::string(XmlMaxFileSize + 1, ' '));
  const std::string Fits = PathOf("fits.vrt");
  const std::string Document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a/>\r\n";
  WriteBytes(Fits, Document + std::string(XmlMaxFileSize - Document.size(), ' '));
  TXmlItem Item;
  EXPECT_EQ(FileError([&] { Item.LoadFromFile(Big); }),
            "Cannot read file \"" + Big + "\". The file is larger than 1 MB");
  EXPECT_EQ(FileError([&] { Item.LoadFromFile("/dev/zero"); }),
            "Cannot read file \"/dev/zero\". The file is larger than 1 MB");
  Item.LoadFromFile(Fits);
  EXPECT_EQ(Item.Name(), "a");
  XmlMaxFileSize = Saved;
  EXPECT_EQ(XmlMaxFileSize, std::size_t(1) << 30);
}

TEST_F(XmlFileTest, ReplacesAnExistingFileKeepingItsPermissions) {
  const std::string Path = PathOf("doc.vrt");
  WriteBytes(Path, std::string(100000, 'x'));
  ::chmod(Path.c_str(), 0640);
  TXmlItem("small").SaveToFile(Path);
  EXPECT_EQ(ReadBytes(Path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<small/>\r\n");
  struct stat St;
  ASSERT_EQ(::stat(Path.c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 07777, 0640u);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"doc.vrt"});
}

TEST_F(XmlFileTest, SavesUnderTheLongestName) {
  const std::string Path = PathOf(std::string(250, 'n') + ".vrt");
  TXmlItem("n").SaveToFile(Path);
  EXPECT_EQ(ReadBytes(Path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<n/>\r\n");
  EXPECT_EQ(DirEntries().size(), 1u);
}

TEST_F(XmlFileTest, SavesThroughASymbolicLink) {
  const std::string Real = PathOf("real.vrt");
  const std::string Link = PathOf("link.vrt");
  WriteBytes(Real, "old");
  fs::create_symlink(Real, Link);
  TXmlItem("n").SaveToFile(Link);
  EXPECT_TRUE(fs::is_symlink(Link));
  EXPECT_EQ(ReadBytes(Real), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<n/>\r\n");
}

TEST_F(XmlFileTest, FailedCreationNamesTheFile) {
  const std::string NoDir = PathOf("no/such/dir/doc.vrt");
  EXPECT_EQ(FileError([&] { TXmlItem("a").SaveToFile(NoDir); }),
            "Cannot create file \"" + NoDir + "\". No such file or directory");
  const std::string Dir = PathOf("sub");
  fs::create_directory(Dir);
  EXPECT_EQ(FileError([&] { TXmlItem("a").SaveToFile(Dir); }),
            "Cannot create file \"" + Dir + "\". Is a directory");
  EXPECT_TRUE(fs::is_directory(Dir));
}

// A write that fails half-way (here: the process may not write files larger
// than a few kilobytes) leaves the old file as it was and no temporary.
TEST_F(XmlFileTest, FailedWriteKeepsTheOldFile) {
  const std::string Path = PathOf("doc.vrt");
  const std::string Old = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<old/>\r\n";
  WriteBytes(Path, Old);
  TXmlItem Big("big");
  for (int I = 0; I < 2000; ++I) Big.AddTextItem("item", "some text to fill the file");

  std::string Error;
  {
    TFileSizeLimit Full(4096);
    ASSERT_TRUE(Full.Active());
    Error = FileError([&] { Big.SaveToFile(Path); });
  }

  EXPECT_EQ(Error, "Cannot write file \"" + Path + "\". File too large");
  EXPECT_EQ(ReadBytes(Path), Old);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"doc.vrt"});
  EXPECT_EQ(Big.ItemCount(), 2000);
}

TEST_F(XmlFileTest, DeepTreesSave) {
  const std::string Path = PathOf("deep.vrt");
  testing::XmlSettingsGuard Guard;
  XmlIndent = 0;  // the real indentation would make the file gigabytes long
  testing::DeepChain(100000)->SaveToFile(Path);
  const std::string Data = ReadBytes(Path);
  size_t Lines = 0;
  for (size_t P = Data.find("\r\n"); P != std::string::npos; P = Data.find("\r\n", P + 2)) ++Lines;
  EXPECT_EQ(Lines, 1u + 2 * 100000 - 1);
  EXPECT_TRUE(Data.ends_with("</e>\r\n</e>\r\n"));
  EXPECT_NE(Data.find("\r\n<e>\r\n<e/>\r\n</e>\r\n"), std::string::npos);
}

TEST_F(XmlFileTest, ReadsAMillionNestedElementsAsAnError) {
  const std::string Path = PathOf("million.xml");
  std::string Data = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
  for (int I = 0; I < 1000000; ++I) Data += "<e>";
  WriteBytes(Path, Data);
  TXmlItem Item;
  try {
    Item.LoadFromFile(Path);
    FAIL() << "no error";
  } catch (const EXmlError& E) {
    EXPECT_STREQ(E.what(), "Error reading XML around line 3: Elements nested deeper than 1000 levels");
  }
}

}  // namespace
}  // namespace vt
