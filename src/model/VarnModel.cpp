#include "model/VarnModel.h"

#include <algorithm>
#include <unordered_map>

namespace vt {

std::string VarnVersionString() {
  return Fmt("%d.%.2d", VarnMajorVersion, VarnMinorVersion);
}

// ---------------------------------------------------------------------------
// TVarnSettings

void TVarnSettings::Clear() {
  Linking = false;
  Undoing = true;
  RptHtml = false;
  DefBrowser = false;
  SelectedReports.set();
  SelectedWeights.set();
  PageBreak = false;
  BadColor = 255;
  GoodColor = 32768;
  BadFontStyle = TFontStyles{fsBold};
  GoodFontStyle = TFontStyles{fsBold, fsItalic};
  WeightDec = 0;
  FEvalColumns = 0;
  EvalTrim = 0;
  FncShowWeights = true;
  FncShowNum = true;
  FncComplex = true;
  FncEntered = false;
  FontSize = 10;
  FontName = "Arial";
  OptDataType = odtOne;
  OptDataAll = true;
  OptTranspose = false;
  OptLevels = true;
  FncDataType = odtOne;
  FncDataAll = true;
  FncFormatType = fftCol;
  FncStatus = false;
}

// ---------------------------------------------------------------------------
// TVarnModel

TVarnModel::TVarnModel()
    : FOptions(std::make_unique<TStringList>()), FSettings(std::make_unique<TVarnSettings>()) {
  FClassName = "TVarnModel";
  Clear();
}

TVarnModel::~TVarnModel() = default;

void TVarnModel::Clear() {
  FRoot.reset();
  FRoot = std::make_unique<TVarnAttribute>("Root");
  FModified = true;
}

void TVarnModel::Modify() {
  FModified = true;
  FEvaluate = true;
  LinkAttributes();
}

TVarnAttribute* TVarnModel::First() const {
  return FRoot->InpCount() > 0 ? FRoot->Inputs(0) : nullptr;
}

std::string TVarnModel::ModelName() const {
  TVarnAttribute* F = First();
  return F != nullptr ? F->Name() : std::string();
}

TVarnDiscreteScale* TVarnModel::DefaultScale() {
  if (FDefaultScale != nullptr && !VarnRegistry::IsAlive(FDefaultScale, FDefaultScaleSerial))
    FDefaultScale = nullptr;
  return FDefaultScale;
}

void TVarnModel::SetDefaultScale(TVarnDiscreteScale* Value) {
  FDefaultScale = Value;
  FDefaultScaleSerial = Value != nullptr ? Value->Serial() : 0;
}

bool TVarnModel::Selected(int Option) const {
  if (Option < 0 || static_cast<int>(FSelected.size()) < Option + 1) return true;
  return FSelected[static_cast<size_t>(Option)] == '1';
}

void TVarnModel::SetSelected(int Option, bool Value) {
  if (Option < 0) return;
  if (static_cast<int>(FSelected.size()) < Option + 1) FSelected.resize(static_cast<size_t>(Option) + 1, '1');
  FSelected[static_cast<size_t>(Option)] = Value ? '1' : '0';
}

std::vector<TVarnAttribute*> TVarnModel::AllAttributes() const {
  std::vector<TVarnAttribute*> Result;
  std::vector<TVarnAttribute*> Stack;
  for (int I = FRoot->InpCount() - 1; I >= 0; I--) Stack.push_back(FRoot->Inputs(I));
  while (!Stack.empty()) {
    TVarnAttribute* A = Stack.back();
    Stack.pop_back();
    Result.push_back(A);
    for (int I = A->InpCount() - 1; I >= 0; I--) Stack.push_back(A->Inputs(I));
  }
  return Result;
}

void TVarnModel::AddOption(const std::string& AName) {
  FOptions->Add(AName);
}

void TVarnModel::InsertOption(int Index, const std::string& AName) {
  FOptions->Insert(Index, AName);
  for (TVarnAttribute* A : AllAttributes()) A->InsertOption(Index);
  if (Index <= static_cast<int>(FSelected.size())) FSelected.insert(static_cast<size_t>(Index), 1, '1');
}

void TVarnModel::DeleteOption(int Index) {
  FOptions->Delete(Index);
  for (TVarnAttribute* A : AllAttributes()) A->DeleteOption(Index);
  if (Index < static_cast<int>(FSelected.size())) FSelected.erase(static_cast<size_t>(Index), 1);
}

void TVarnModel::CopyOption(int From, int To) {
  for (TVarnAttribute* A : AllAttributes()) A->SetOptVal(To, A->OptVal(From));
}

void TVarnModel::ExchangeOption(int I, int J) {
  FOptions->Exchange(I, J);
  bool SelI = Selected(I);
  bool SelJ = Selected(J);
  SetSelected(I, SelJ);
  SetSelected(J, SelI);
  const int Larger = std::max(I, J);
  for (TVarnAttribute* A : AllAttributes()) {
    TStringList& Opts = A->Options();
    while (Opts.Count() <= Larger) Opts.Add("");
    Opts.Exchange(I, J);
  }
}

void TVarnModel::MoveOptionUp(int Index) {
  if (Index > 0 && Index < FOptions->Count()) ExchangeOption(Index, Index - 1);
}

void TVarnModel::MoveOptionDown(int Index) {
  if (Index >= 0 && Index < FOptions->Count() - 1) ExchangeOption(Index, Index + 1);
}

// ---------------------------------------------------------------------------
// Linking and look-ups

namespace {

// The link target among the attributes of one name, in traversal order,
// counting only those without a link at this moment.
TVarnAttribute* LinkTarget(const std::vector<TVarnAttribute*>& SameName) {
  int Aggregates = 0;
  TVarnAttribute* LastAggregate = nullptr;
  TVarnAttribute* LastBasic = nullptr;
  for (TVarnAttribute* A : SameName) {
    if (A->Link() != nullptr) continue;
    if (A->IsAggregate()) {
      Aggregates++;
      LastAggregate = A;
    } else {
      LastBasic = A;
    }
  }
  return Aggregates == 1 ? LastAggregate : LastBasic;
}

bool ScalesMatch(const TVarnAttribute* A, const TVarnAttribute* Candidate) {
  if (A->Scale() != nullptr) return Candidate->Scale() != nullptr && A->Scale()->Equal(Candidate->Scale());
  return Candidate->Scale() == nullptr;
}

}  // namespace

TVarnAttribute* TVarnModel::LinkAttributeByName(const std::string& AName) const {
  std::vector<TVarnAttribute*> SameName;
  for (TVarnAttribute* A : AllAttributes())
    if (A->Name() == AName) SameName.push_back(A);
  return LinkTarget(SameName);
}

// The attributes of each name are gathered once, in traversal order; the
// target is then chosen among them with the links as they stand at each
// visit, which is what a full traversal per attribute would see.
void TVarnModel::LinkAttributes() {
  FRoot->SetLink(nullptr);
  std::vector<TVarnAttribute*> All = AllAttributes();
  std::unordered_map<std::string, std::vector<TVarnAttribute*>> ByName;
  if (Linking())
    for (TVarnAttribute* A : All) ByName[A->Name()].push_back(A);
  for (TVarnAttribute* A : All) {
    if (!Linking()) {
      A->SetLink(nullptr);
    } else if (A->IsBasic()) {
      TVarnAttribute* Candidate = LinkTarget(ByName[A->Name()]);
      if (Candidate == A || (Candidate != nullptr && (A->Affects(Candidate) || !ScalesMatch(A, Candidate))))
        Candidate = nullptr;
      A->SetLink(Candidate);
    }
  }
}

TVarnAttribute* TVarnModel::AttributeByName(const std::string& AName) const {
  for (TVarnAttribute* A : AllAttributes())
    if (A->Name() == AName) return A;
  return nullptr;
}

TVarnAttribute* TVarnModel::InputAttributeByName(const std::string& AName) const {
  TVarnAttribute* LastPlain = nullptr;
  TVarnAttribute* LastOther = nullptr;
  for (TVarnAttribute* A : AllAttributes()) {
    if (A->Name() != AName) continue;
    if (A->IsBasic() && A->Link() == nullptr)
      LastPlain = A;
    else
      LastOther = A;
  }
  return LastPlain != nullptr ? LastPlain : LastOther;
}

}  // namespace vt
