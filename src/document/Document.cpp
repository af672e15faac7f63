#include "document/Document.h"

#include <filesystem>
#include <utility>

#include "document/ModelTree.h"
#include "document/TreeFile.h"
#include "picture/TreeRender.h"

namespace vt {

std::string ExpandFileName(const std::string& FN) {
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(FN, ec);
  return ec ? FN : path.lexically_normal().string();
}

TVarnTreeDocument::TVarnTreeDocument(const TTextMeasurer* AMeasurer)
    : FFormatClasses(std::make_unique<TFormatClasses>()), FRandom(ClockRandom()) {
  FTreeDrawer = std::make_unique<TVarnTreeDrawer>(TPictureContext{FFormatClasses.get(), AMeasurer});
  SetTreeDrawerDefaults();
}

TVarnTreeDocument::~TVarnTreeDocument() {
  FTreeDrawer.reset();
  FMetaFile.reset();
  FFormatClasses.reset();
}

void TVarnTreeDocument::SetDefaultFormats() {
  // Built beside the current classes, so that the tree can move over before
  // the old classes are freed.
  auto all = std::unique_ptr<TNodeFormat>(FFormatClasses->CreateFormat(AllClass, nullptr));
  for (const char* name : {"basic", "aggregate", "link"}) FFormatClasses->CreateFormat(name, all.get());
  RebindTree(VarnRoot(), all.get());
  FFormatClasses->SetFormats(std::move(all));
}

void TVarnTreeDocument::SetTreeDrawerDefaults() {
  TVarnTreeDrawer& d = *FTreeDrawer;
  d.SetLevelSeparation(60);
  d.SetMinLevelSeparation(20);
  d.SetNodeSeparation(20);
  d.SetAlignLevels(true);
  d.SetAlignParents(apSubtree);
  d.SetDrawMethod(dmWalker);
  d.SetXStretch(1.0);
  d.SetYStretch(1.0);
  d.SetXOffset(0);
  d.SetYOffset(0);
}

void TVarnTreeDocument::DrawTree() {
  if (!FTreeDrawer->Root()) return;
  if (!Measurer()) {
    FMetaFile.reset();
    throw EDocumentError(std::string(SDocumentNoMeasurer));
  }
  vt::DrawTree(*FTreeDrawer, *Measurer(), FLoadFileName, FBackgroundColor, FMetaFile);
}

void TVarnTreeDocument::ReplaceTree(std::unique_ptr<TVarnNode> ARoot) {
  FTreeDrawer->SetRoot(ARoot.release());
}

// ---------------------------------------------------------------------------
// Models

void TVarnTreeDocument::LoadVarnFile(const std::string& FN) {
  TVarnModel model;
  model.LoadFromFile(FN);
  std::unique_ptr<TVarnNode> tree = BuildModelTree(model, *FFormatClasses);
  std::string path = ExpandFileName(FN);
  ReplaceTree(std::move(tree));
  FLoadFileName = std::move(path);
  FSaveFileName.clear();
  FFileModified = false;
}

void TVarnTreeDocument::CreateVarnTree(const TVarnModel& AModel) {
  ReplaceTree(BuildModelTree(AModel, *FFormatClasses));
}

// ---------------------------------------------------------------------------
// Tree documents

std::unique_ptr<TXmlItem> TVarnTreeDocument::BuildTreeDocument(bool SaveFormat, bool SaveTree) const {
  return vt::BuildTreeDocument(*FTreeDrawer, Formats(), FBackgroundColor, SaveFormat, SaveTree);
}

void TVarnTreeDocument::SaveVarnTreeFile(const std::string& FN, bool SaveFormat, bool SaveTree) const {
  const std::unique_ptr<TXmlItem> document = BuildTreeDocument(SaveFormat, SaveTree);
  CheckReadableDepth(*document);
  document->SaveToFile(FN);
}

void TVarnTreeDocument::SaveTreeDocument(const std::string& FN) {
  SaveVarnTreeFile(FN, true, true);
  FLoadFileName = ExpandFileName(FN);
  FSaveFileName = FLoadFileName;
  FFileModified = false;
}

void TVarnTreeDocument::LoadVarnTreeFile(const std::string& FN, bool LoadFormat, bool LoadTree) {
  TTreeDocumentContent content;
  {
    TXmlItem document;
    document.LoadFromFile(FN);
    content = ReadTreeDocument(document, FN, LoadFormat, LoadTree, Formats(), DefaultNodeFont());
  }
  std::string path = ExpandFileName(FN);

  // Everything is read; from here on nothing fails.
  if (content.HasParameters) content.Parameters.ApplyTo(*FTreeDrawer, FBackgroundColor);
  if (content.Root) {
    // The old tree goes while the classes its nodes use are still there.
    ReplaceTree(std::move(content.Root));
  } else if (content.Formats) {
    RebindTree(VarnRoot(), content.Formats.get());
  }
  if (content.Formats) FFormatClasses->SetFormats(std::move(content.Formats));

  if (FLoadFileName.empty() || LoadTree) FLoadFileName = path;
  if (LoadFormat && LoadTree)
    FSaveFileName = std::move(path);
  else
    FSaveFileName.clear();
  FFileModified = false;
}

// ---------------------------------------------------------------------------
// Generated trees

void TVarnTreeDocument::CreateSampleTree() {
  ReplaceTree(BuildSampleTree());
  FFileModified = true;
}

void TVarnTreeDocument::CreateRandomTree() {
  ReplaceTree(BuildRandomTree(FRandom));
  FFileModified = true;
}

void TVarnTreeDocument::CreateBalancedTree() {
  ReplaceTree(BuildBalancedTree(FRandom));
  FFileModified = true;
}

}  // namespace vt
