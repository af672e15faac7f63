#include "model/VarnAttribute.h"

#include <cmath>
#include <unordered_set>

#include "foundation/Utils.h"

namespace vt {

TVarnAttribute* TVarnAttributeList::Objects(int Index) const {
  return static_cast<TVarnAttribute*>(TVarnList::Objects(Index));
}

// ---------------------------------------------------------------------------
// TVarnFunction

namespace {

constexpr char32_t RuleDigit(int Value) {
  return static_cast<char32_t>(48 + Value);
}
constexpr int RuleValue(char32_t Ch) {
  return static_cast<int>(Ch) - 48;
}

}  // namespace

void NormalizeFloatArray(floatarray& A, double S) {
  double Sum = 0;
  for (double X : A) Sum += X;
  if (std::fabs(Sum) < FloatTolerance) return;
  for (double& X : A) X = X * S / Sum;
}

TVarnFunction::TVarnFunction() {
  FClassName = "TVarnFunction";
}

TVarnFunction::~TVarnFunction() = default;

bool TVarnFunction::CanSetAttribute(const TVarnAttribute* AAttribute) const {
  return AAttribute != nullptr && AAttribute->CanCreateFunction() &&
         AAttribute->FunctionSize() <= VarnMaxFunctionRules;
}

void TVarnFunction::SetAttribute(TVarnAttribute* AAttribute) {
  FList.clear();
  FAttribute = nullptr;
  if (!CanSetAttribute(AAttribute)) return;
  FAttribute = AAttribute;
  const int N = AAttribute->InpCount();
  const int Cnt = AAttribute->Scale()->Count();
  std::vector<char32_t> Limit(static_cast<size_t>(N));
  for (int I = 0; I < N; I++)
    Limit[static_cast<size_t>(I)] = RuleDigit(AAttribute->Inputs(I)->Scale()->Count());

  TVarnRule Rule(static_cast<size_t>(N) + 1, U'0');
  Rule += RuleDigit(Cnt - 1);
  Rule += U'-';
  FList.reserve(static_cast<size_t>(AAttribute->FunctionSize()));
  for (;;) {
    FList.push_back(Rule);
    int P = N - 1;
    for (; P >= 0; P--) {
      size_t Pos = static_cast<size_t>(P);
      if (++Rule[Pos] < Limit[Pos]) break;
      Rule[Pos] = U'0';
    }
    if (P < 0) break;
  }

  FWeightFactors.assign(static_cast<size_t>(N) + 1, 0.0);
  FActualWeights.assign(static_cast<size_t>(N), 0.0);
  FNormActualWeights.assign(static_cast<size_t>(N), 0.0);
  FRequiredWeights.assign(static_cast<size_t>(N), 1.0);
  NormalizeFloatArray(FRequiredWeights, 100);
  FRecalcWeights = false;
}

void TVarnFunction::AssignFunction(const TVarnFunction& Other) {
  SetDescription(Other.Description());
  FAttribute = Other.FAttribute;
  FList = Other.FList;
  FWeightFactors = Other.FWeightFactors;
  FActualWeights = Other.FActualWeights;
  FNormActualWeights = Other.FNormActualWeights;
  FRequiredWeights = Other.FRequiredWeights;
  FUseWeights = Other.FUseWeights;
  FUseConsist = Other.FUseConsist;
  FRounding = Other.FRounding;
}

int TVarnFunction::ArgCount() const {
  return FAttribute != nullptr ? FAttribute->InpCount() : 0;
}

int TVarnFunction::EntCount() const {
  int N = 0;
  for (const TVarnRule& R : FList) N += (!R.empty() && R.back() == U'+') ? 1 : 0;
  return N;
}

// Offset counts from the rule's end (1 is the entered flag), so that a rule
// table read from a file answers by its own layout.
int TVarnFunction::Position(int Rule, int Offset) const {
  if (Rule < 0 || Rule >= Count()) throw EVarnIndexError(Fmt(SVarnIndexError, Rule, Count() - 1));
  int Len = static_cast<int>(FList[static_cast<size_t>(Rule)].size());
  int Pos = Len - Offset;
  if (Pos < 0) throw EVarnIndexError(Fmt(SVarnIndexError, Pos, Len - 1));
  return Pos;
}

int TVarnFunction::ArgVal(int Arg, int Rule) const {
  int Args = Position(Rule, 3);
  if (Arg < 0 || Arg >= Args) throw EVarnIndexError(Fmt(SVarnIndexError, Arg, Args - 1));
  return RuleValue(FList[static_cast<size_t>(Rule)][static_cast<size_t>(Arg)]);
}

int TVarnFunction::RuleValLow(int Rule) const {
  return RuleValue(FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 3))]);
}

void TVarnFunction::SetRuleValLow(int Rule, int Value) {
  FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 3))] = RuleDigit(Value);
}

int TVarnFunction::RuleValHigh(int Rule) const {
  return RuleValue(FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 2))]);
}

void TVarnFunction::SetRuleValHigh(int Rule, int Value) {
  FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 2))] = RuleDigit(Value);
}

void TVarnFunction::SetRuleVal(int Rule, int Value) {
  SetRuleValLow(Rule, Value);
  SetRuleValHigh(Rule, Value);
}

bool TVarnFunction::RuleEntered(int Rule) const {
  return FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 1))] == U'+';
}

void TVarnFunction::SetRuleEntered(int Rule, bool Value) {
  FList[static_cast<size_t>(Rule)][static_cast<size_t>(Position(Rule, 1))] = Value ? U'+' : U'-';
}

// ---------------------------------------------------------------------------
// TVarnAttribute

TVarnAttribute::TVarnAttribute(const std::string& AName, const std::string& ADescription)
    : TVarnObject(AName, ADescription), FOptions(std::make_unique<TStringList>()) {
  FClassName = "TVarnAttribute";
}

// The attribute and everything under it go at once, so no link needs
// clearing (and the parents of inputs released by ReleaseSubtrees are gone
// already).
TVarnAttribute::~TVarnAttribute() {
  Release();
}

namespace {

// Every attribute under Top, each before its inputs; Top itself first when
// IncludeTop.
std::vector<TVarnAttribute*> Subtree(TVarnAttribute* Top, bool IncludeTop) {
  std::vector<TVarnAttribute*> Result;
  std::vector<TVarnAttribute*> Stack;
  if (IncludeTop)
    Stack.push_back(Top);
  else
    for (int I = Top->InpCount() - 1; I >= 0; I--) Stack.push_back(Top->Inputs(I));
  while (!Stack.empty()) {
    TVarnAttribute* A = Stack.back();
    Stack.pop_back();
    if (A == nullptr) continue;
    Result.push_back(A);
    for (int I = A->InpCount() - 1; I >= 0; I--) Stack.push_back(A->Inputs(I));
  }
  return Result;
}

// The attributes in Leaving are about to leave the tree that From stands in,
// to be released or handed out. A link between one of them and an attribute
// that stays would dangle as soon as either side is released, so it is
// cleared; links among the leaving attributes stay.
void ClearLinksAcross(TVarnAttribute* From, const std::vector<TVarnAttribute*>& Leaving) {
  if (Leaving.empty()) return;
  TVarnAttribute* Top = From;
  while (Top->Parent() != nullptr) Top = Top->Parent();
  const std::unordered_set<const TVarnAttribute*> Out(Leaving.begin(), Leaving.end());
  for (TVarnAttribute* A : Subtree(Top, true))
    if (A->Link() != nullptr && Out.count(A) != Out.count(A->Link())) A->SetLink(nullptr);
}

}  // namespace

// Each attribute's input list is taken away before the attribute is
// released, so releasing never recurses into the tree.
void TVarnAttribute::ReleaseSubtrees(std::unique_ptr<TVarnAttributeList> List) {
  std::vector<std::unique_ptr<TVarnAttributeList>> Pending;
  if (List) Pending.push_back(std::move(List));
  while (!Pending.empty()) {
    std::unique_ptr<TVarnAttributeList> Current = std::move(Pending.back());
    Pending.pop_back();
    for (int I = 0; I < Current->Count(); I++) {
      TVarnAttribute* Child = Current->Objects(I);
      if (Child != nullptr && Child->FInputs) Pending.push_back(std::move(Child->FInputs));
    }
    Current.reset();
  }
}

void TVarnAttribute::Clear() {
  ClearLinksAcross(this, Subtree(this, false));
  Release();
}

void TVarnAttribute::Release() {
  ReleaseSubtrees(std::move(FInputs));
  FreeFunctions();
  FScale.reset();
  FOptions->Clear();
}

void TVarnAttribute::AddAttribute(TVarnAttribute* AAttribute) {
  if (AAttribute == nullptr) return;
  // Only an attribute with inputs can be an ancestor; checking that first
  // keeps building deep trees linear.
  if (AAttribute == this || (AAttribute->InpCount() > 0 && Affects(AAttribute)))
    throw EVarnError(Fmt(SVarnCyclicInput, AAttribute->Name()));
  // An input has one owner: one taken from another attribute leaves it first.
  if (AAttribute->FParent != nullptr) AAttribute->FParent->RemoveChild(AAttribute);
  if (!FInputs) FInputs = std::make_unique<TVarnAttributeList>(true, false, dupAccept);
  FInputs->Add(AAttribute);
  AAttribute->FParent = this;
}

int TVarnAttribute::InpIndex(const TVarnAttribute* AAttribute) const {
  return FInputs ? FInputs->IndexOf(AAttribute) : -1;
}

bool TVarnAttribute::Affects(const TVarnAttribute* Other) const {
  if (Other == nullptr) return false;
  for (const TVarnAttribute* P = FParent; P != nullptr; P = P->FParent)
    if (P == Other) return true;
  return false;
}

bool TVarnAttribute::Depends(const TVarnAttribute* Other) const {
  return Other != nullptr && Other->Affects(this);
}

void TVarnAttribute::CollectInputs(TVarnAttributeList& Target, const TCondition& Condition) const {
  Target.Clear();
  std::unordered_set<const TVarnAttribute*> Added;
  std::vector<TVarnAttribute*> Stack;
  for (int I = InpCount() - 1; I >= 0; I--) Stack.push_back(Inputs(I));
  while (!Stack.empty()) {
    TVarnAttribute* A = Stack.back();
    Stack.pop_back();
    if (A == nullptr || Added.count(A) != 0) continue;
    if (!Condition || Condition(A)) {
      Target.Add(A);
      Added.insert(A);
    }
    for (int I = A->InpCount() - 1; I >= 0; I--) Stack.push_back(A->Inputs(I));
  }
}

void TVarnAttribute::CollectBasic(TVarnAttributeList& Target) const {
  CollectInputs(Target, [](const TVarnAttribute* A) { return A->IsBasic(); });
}

void TVarnAttribute::CollectNonLinkedBasic(TVarnAttributeList& Target) const {
  CollectInputs(Target, [](const TVarnAttribute* A) { return A->IsBasic() && A->Link() == nullptr; });
}

void TVarnAttribute::DeleteChildren() {
  ClearLinksAcross(this, Subtree(this, false));
  FreeFunctions();
  ReleaseSubtrees(std::move(FInputs));
}

void TVarnAttribute::ReleaseEmptyInputs() {
  if (FInputs && FInputs->Count() == 0) FInputs.reset();
}

void TVarnAttribute::DeleteChild(int Index) {
  TVarnAttribute* Child = RemoveChild(Index);
  auto Single = std::make_unique<TVarnAttributeList>(true, false, dupAccept);
  Single->Add(Child);
  ReleaseSubtrees(std::move(Single));
}

void TVarnAttribute::DeleteChild(TVarnAttribute* AAttribute) {
  DeleteChild(FInputs ? FInputs->IndexOf(AAttribute) : -1);
}

TVarnAttribute* TVarnAttribute::RemoveChild(int Index) {
  if (!FInputs) throw EListError(Fmt(SListIndexError, Index));
  if (TVarnAttribute* Leaving = Inputs(Index)) ClearLinksAcross(this, Subtree(Leaving, true));
  auto* Child = static_cast<TVarnAttribute*>(FInputs->PullOut(Index));
  if (Child != nullptr) Child->FParent = nullptr;
  ReleaseEmptyInputs();
  return Child;
}

TVarnAttribute* TVarnAttribute::RemoveChild(TVarnAttribute* AAttribute) {
  return RemoveChild(FInputs ? FInputs->IndexOf(AAttribute) : -1);
}

void TVarnAttribute::MoveChildUp(int Index) {
  if (!FInputs) throw EListError(Fmt(SListIndexError, Index));
  FInputs->Exchange(Index, Index - 1);
}

void TVarnAttribute::MoveChildUp(TVarnAttribute* AAttribute) {
  MoveChildUp(FInputs ? FInputs->IndexOf(AAttribute) : -1);
}

void TVarnAttribute::MoveChildDown(int Index) {
  if (!FInputs) throw EListError(Fmt(SListIndexError, Index));
  FInputs->Exchange(Index, Index + 1);
}

void TVarnAttribute::MoveChildDown(TVarnAttribute* AAttribute) {
  MoveChildDown(FInputs ? FInputs->IndexOf(AAttribute) : -1);
}

bool TVarnAttribute::AffectsFunction() const {
  return FFunct != nullptr || (FParent != nullptr && FParent->FFunct != nullptr);
}

bool TVarnAttribute::CanCreateFunction() const {
  if (!FScale || FScale->Count() <= 1 || InpCount() == 0) return false;
  for (int I = 0; I < InpCount(); I++) {
    const TVarnAttribute* In = Inputs(I);
    if (In == nullptr || In->Scale() == nullptr || In->Scale()->Count() <= 1) return false;
  }
  return true;
}

bool TVarnAttribute::CanUseWeights() const {
  if (!CanCreateFunction()) return false;
  for (int I = 0; I < InpCount(); I++)
    if (Inputs(I)->Scale()->Order() != ordAscending) return false;
  return true;
}

int TVarnAttribute::FunctionSize() const {
  if (!CanCreateFunction()) return -1;
  long long Size = 1;
  for (int I = 0; I < InpCount(); I++) {
    Size *= Inputs(I)->Scale()->Count();
    if (Size > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(Size);
}

void TVarnAttribute::FreeFunctions() {
  FFunct.reset();
}

std::string TVarnAttribute::OptVal(int Option) const {
  return Option >= 0 && Option < FOptions->Count() ? FOptions->Strings(Option) : std::string();
}

void TVarnAttribute::SetOptVal(int Option, const std::string& Value) {
  if (Option < 0) return;
  if (Option < FOptions->Count()) {
    FOptions->SetStrings(Option, Value);
    return;
  }
  if (Value.empty()) return;
  while (FOptions->Count() < Option) FOptions->Add("");
  FOptions->Add(Value);
}

int TVarnAttribute::OptValue(int Option) const {
  if (!FScale) return -1;
  std::string Text = OptVal(Option);
  if (Text.empty()) return -1;
  char32_t Ch = CharAt(Text, 1);
  if (Ch < U'0') return -1;
  int Value = RuleValue(Ch);
  return Value < FScale->Count() ? Value : -1;
}

void TVarnAttribute::SetOptValue(int Option, int Value) {
  bool Valid = FScale && Value >= 0 && Value < FScale->Count();
  SetOptVal(Option, Valid ? CharToUtf8(RuleDigit(Value)) : std::string());
}

void TVarnAttribute::InsertOption(int Option) {
  if (Option >= 0 && Option <= FOptions->Count()) FOptions->Insert(Option, "");
}

void TVarnAttribute::DeleteOption(int Option) {
  if (Option >= 0 && Option < FOptions->Count()) FOptions->Delete(Option);
}

int TVarnAttribute::InpCount() const {
  return FInputs ? FInputs->Count() : 0;
}

TVarnAttribute* TVarnAttribute::Inputs(int Index) const {
  if (!FInputs) throw EListError(Fmt(SListIndexError, Index));
  return FInputs->Objects(Index);
}

int TVarnAttribute::Level() const {
  int L = 0;
  for (const TVarnAttribute* P = FParent; P != nullptr; P = P->FParent) L++;
  return L;
}

namespace {

// The first attribute at Depth levels below Top in depth-first order, each
// before its inputs.
TVarnAttribute* FirstAtDepth(TVarnAttribute* Top, int Depth) {
  std::vector<std::pair<TVarnAttribute*, int>> Stack{{Top, 0}};
  while (!Stack.empty()) {
    auto [A, D] = Stack.back();
    Stack.pop_back();
    if (D == Depth) return A;
    for (int I = A->InpCount() - 1; I >= 0; I--) Stack.emplace_back(A->Inputs(I), D + 1);
  }
  return nullptr;
}

}  // namespace

TVarnAttribute* TVarnAttribute::Right() const {
  const TVarnAttribute* Node = this;
  for (int Depth = 0; Node->FParent != nullptr; Depth++, Node = Node->FParent) {
    const TVarnAttribute* P = Node->FParent;
    for (int I = P->InpIndex(Node) + 1; I < P->InpCount(); I++)
      if (TVarnAttribute* Found = FirstAtDepth(P->Inputs(I), Depth)) return Found;
  }
  return nullptr;
}

void TVarnAttribute::SetFunct(TVarnFunction* Value) {
  if (Value != FFunct.get()) FFunct.reset(Value);
}

void TVarnAttribute::SetScale(TVarnScale* Value) {
  if (Value != FScale.get()) FScale.reset(Value);
}

std::string TVarnAttribute::ParentPath() const {
  std::vector<const TVarnAttribute*> Chain;
  for (const TVarnAttribute* A = this; A != nullptr; A = A->FParent) Chain.push_back(A);
  std::string Path;
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) Path += "\\" + (*It)->Name();
  return Path;
}

}  // namespace vt
