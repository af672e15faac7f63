// Shared pieces of the document tests: exact error messages, files in a
// fresh temporary folder, and a full description of a document's state for
// comparing two documents.
#pragma once

#include <gtest/gtest.h>

#include "support/ExpectThrow.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "document/Document.h"
#include "document/TreeFile.h"
#include "foundation/Lists.h"
#include "foundation/XUtils.h"

namespace vt::test {


namespace fs = std::filesystem;

inline std::string DataFile(const std::string& Name) {
  return std::string(VT_TEST_DATA_DIR) + "/" + Name;
}

// A fresh folder per test, removed afterwards.
class TTempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    FDir = fs::path(::testing::TempDir()) /
           (std::string("vt_document_") + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" +
            info->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string PathOf(const std::string& Name) const { return (FDir / Name).string(); }
  std::string WriteFile(const std::string& Name, const std::string& Text) const {
    const std::string path = PathOf(Name);
    std::ofstream(path, std::ios::binary) << Text;
    return path;
  }
  // A document of the lines given, each ended by CR LF, after the header.
  std::string WriteDocument(const std::string& Name, const std::vector<std::string>& Lines) const {
    std::string text = std::string(XmlHeader) + "\r\n";
    for (const std::string& line : Lines) text += line + "\r\n";
    return WriteFile(Name, text);
  }
  static std::string ReadBytes(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  fs::path FDir;
};

// The lines of the tree document the document would save.
inline std::vector<std::string> SavedLines(const TVarnTreeDocument& ADocument, bool SaveFormat = true,
                                           bool SaveTree = true) {
  TStringList list;
  ADocument.BuildTreeDocument(SaveFormat, SaveTree)->SaveToStringList(list);
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

inline std::string AnchorText(const TAnchor& A) {
  return Fmt("%d%s,%d%s", A.X, A.UnitX == Upix ? "px" : "%", A.Y, A.UnitY == Upix ? "px" : "%");
}

// Every value of a format (not its class, parent or children).
inline std::string FormatValues(const TNodeFormat& F) {
  const TFont& font = F.Font();
  const TRect& b = F.TextBorder();
  return Fmt(
      "w%d-%d h%d-%d up%s down%s font[%s %d %s %d cs%d] line[%s %d %d] pen[%s %d %d] brush[%s %d] "
      "align%d shape%d round%s border[%d %d %d %d] wrap%d clip%d trim%d text%d/%d spacing%s",
      F.MinWidth(), F.MaxWidth(), F.MinHeight(), F.MaxHeight(), AnchorText(F.UpAnchor()),
      AnchorText(F.DownAnchor()), font.Name(), font.Size(), ColorToDocText(font.Color()),
      int(font.Style().Bits()), int(font.Charset()), ColorToDocText(F.LinePen().Color()), F.LinePen().Width(),
      int(F.LinePen().Style()), ColorToDocText(F.NodePen().Color()), F.NodePen().Width(),
      int(F.NodePen().Style()), ColorToDocText(F.NodeBrush().Color()), int(F.NodeBrush().Style()),
      int(F.NodeAlign()), int(F.Shape()), AnchorText(F.RoundEdge()), b.Left, b.Top, b.Right, b.Bottom,
      int(F.TextWrap()), int(F.TextClip()), F.TextTrim(), int(F.TextXAlign()), int(F.TextYAlign()),
      FloatToText(F.LineSpacing()));
}

// The class tree: each class with its values, child classes indented below.
inline std::string DescribeClasses(const TNodeFormat& F, int Depth = 0) {
  std::string out = std::string(size_t(2 * Depth), ' ') + F.FormatClass() + ": " + FormatValues(F) + "\n";
  for (int i = 0; i < F.ChildCount(); ++i)
    if (!F.GetChild(i)->FormatClass().empty()) out += DescribeClasses(*F.GetChild(i), Depth + 1);
  return out;
}

// Every node in pre-order: its level, full text, class, and for an
// individual format the class it is registered below, then its values.
inline std::string DescribeTree(const TVarnTreeDocument& ADocument) {
  std::string out;
  struct TFrame {
    const TTreeDrawNode* Node;
    int Level;
  };
  std::vector<TFrame> open;
  if (ADocument.VarnRoot()) open.push_back({ADocument.VarnRoot(), 0});
  while (!open.empty()) {
    const TFrame frame = open.back();
    open.pop_back();
    const auto& node = dynamic_cast<const TVarnNode&>(*frame.Node);
    const TNodeFormat& format = *node.NodeFormat();
    out += std::string(size_t(2 * frame.Level), ' ') + "'" + node.FullText() + "' " + node.NodeClass();
    if (node.NodeClass().empty()) out += "<" + (format.Parent() ? format.Parent()->FormatClass() : "-") + ">";
    out += " " + FormatValues(format) + "\n";
    std::vector<const TTreeDrawNode*> children;
    for (const TTreeDrawNode* c = node.FirstChild(); c; c = c->NextChild()) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it) open.push_back({*it, frame.Level + 1});
  }
  return out;
}

inline std::string DescribeParameters(const TVarnTreeDocument& ADocument) {
  const TVarnTreeDrawer& d = ADocument.TreeDrawer();
  const TRect& b = d.Border();
  return Fmt(
      "method %d orientation %d border %d %d %d %d stretch %s %s sep %s %s %s mirror %d %d "
      "levels %d parents %d terminals %d offset %s %s background %s",
      int(d.DrawMethod()), int(d.Orientation()), b.Left, b.Top, b.Right, b.Bottom, FloatToText(d.XStretch()),
      FloatToText(d.YStretch()), FloatToText(d.NodeSeparation()), FloatToText(d.LevelSeparation()),
      FloatToText(d.MinLevelSeparation()), int(d.XMirror()), int(d.YMirror()), int(d.AlignLevels()),
      int(d.AlignParents()), int(d.AlignTerminals()), FloatToText(d.XOffset()), FloatToText(d.YOffset()),
      ColorToDocText(ADocument.BackgroundColor()));
}

// Parameters, classes and tree.
inline std::string Describe(const TVarnTreeDocument& ADocument) {
  return DescribeParameters(ADocument) + "\n" + DescribeClasses(*ADocument.Formats()) +
         DescribeTree(ADocument);
}

// Parameters, classes, tree, the saved text, the file names and the flag.
inline std::string FullState(const TVarnTreeDocument& ADocument) {
  std::string out = Describe(ADocument);
  for (const std::string& line : SavedLines(ADocument)) out += line + "\n";
  return out + "load " + ADocument.LoadFileName() + " save " + ADocument.SaveFileName() + " modified " +
         (ADocument.FileModified() ? "yes" : "no");
}

}  // namespace vt::test
