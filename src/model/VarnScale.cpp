#include "model/VarnScale.h"

#include <algorithm>
#include <limits>

#include "foundation/Utils.h"

namespace vt {

namespace {

constexpr double NoBad = std::numeric_limits<double>::lowest();
constexpr double NoGood = std::numeric_limits<double>::max();

}  // namespace

TVarnScaleValue::TVarnScaleValue(const std::string& AName, const std::string& ADescription)
    : TVarnObject(AName, ADescription) {
  FClassName = "TVarnScaleValue";
}

TVarnScaleValue* TVarnScaleValueList::Objects(int Index) const {
  return static_cast<TVarnScaleValue*>(TVarnList::Objects(Index));
}

// ---------------------------------------------------------------------------
// TVarnScale

TVarnScale::TVarnScale() : FBGLow(NoBad), FBGHigh(NoGood) {
  FClassName = "TVarnScale";
}

int TVarnScale::GetLow() const {
  return 0;
}
int TVarnScale::GetHigh() const {
  return Count() - 1;
}
double TVarnScale::GetLowFloat() const {
  return Low() - 0.5 + FloatTolerance;
}
double TVarnScale::GetHighFloat() const {
  return High() + 0.5 - FloatTolerance;
}

double TVarnScale::GetBad() const {
  switch (FOrder) {
    case ordAscending:
      return FBGLow;
    case ordDescending:
      return FBGHigh;
    case ordNone:
      break;
  }
  return Low() - FloatTolerance;
}

double TVarnScale::GetGood() const {
  switch (FOrder) {
    case ordAscending:
      return FBGHigh;
    case ordDescending:
      return FBGLow;
    case ordNone:
      break;
  }
  return High() + FloatTolerance;
}

void TVarnScale::SetBad(double Value) {
  if (FOrder == ordDescending) {
    FBGHigh = Value;
    if (FBGLow > FBGHigh) FBGLow = Value;
  } else {
    FBGLow = Value;
    if (FBGLow > FBGHigh) FBGHigh = Value;
  }
}

void TVarnScale::SetGood(double Value) {
  if (FOrder == ordDescending) {
    FBGLow = Value;
    if (FBGLow > FBGHigh) FBGHigh = Value;
  } else {
    FBGHigh = Value;
    if (FBGLow > FBGHigh) FBGLow = Value;
  }
}

std::string TVarnScale::GetScaleString() const {
  std::string S = Name();
  if (FOrder == ordAscending) S += "+";
  if (FOrder == ordDescending) S += "-";
  if (!FScaleUnit.empty()) S += "[" + FScaleUnit + "]";
  return S;
}

bool TVarnScale::Compatible(const TVarnScale* Other) const {
  return Other != nullptr && Other->Order() == FOrder && Other->Count() == Count() &&
         Other->LowFloat() == LowFloat() && Other->HighFloat() == HighFloat();
}

bool TVarnScale::Equal(const TVarnScale* Other) const {
  return Compatible(Other) && Other->ScaleUnit() == FScaleUnit && FloatEqual(Other->BGLow(), FBGLow) &&
         FloatEqual(Other->BGHigh(), FBGHigh);
}

void TVarnScale::AssignScale(const TVarnScale* Other) {
  if (Other == nullptr) return;
  FOrder = Other->FOrder;
  FScaleUnit = Other->FScaleUnit;
  FBGLow = Other->FBGLow;
  FBGHigh = Other->FBGHigh;
  FInterval = Other->FInterval;
}

void TVarnScale::ResetCategories() {
  FBGLow = NoBad;
  FBGHigh = NoGood;
}

bool TVarnScale::IsBetter(double A, double B) const {
  return FOrder == ordAscending ? A > B : FOrder == ordDescending ? A < B : false;
}
bool TVarnScale::IsBetter(int A, int B) const {
  return FOrder == ordAscending ? A > B : FOrder == ordDescending ? A < B : false;
}
bool TVarnScale::IsWorse(double A, double B) const {
  return FOrder == ordAscending ? A < B : FOrder == ordDescending ? A > B : false;
}
bool TVarnScale::IsWorse(int A, int B) const {
  return FOrder == ordAscending ? A < B : FOrder == ordDescending ? A > B : false;
}
bool TVarnScale::IsBetterEq(double A, double B) const {
  return IsOrdered() && (FloatEqual(A, B) || IsBetter(A, B));
}
bool TVarnScale::IsBetterEq(int A, int B) const {
  return IsOrdered() && (A == B || IsBetter(A, B));
}
bool TVarnScale::IsWorseEq(double A, double B) const {
  return IsOrdered() && (FloatEqual(A, B) || IsWorse(A, B));
}
bool TVarnScale::IsWorseEq(int A, int B) const {
  return IsOrdered() && (A == B || IsWorse(A, B));
}
bool TVarnScale::IsBad(double X) const {
  return IsWorseEq(X, Bad());
}
bool TVarnScale::IsGood(double X) const {
  return IsBetterEq(X, Good());
}

bool TVarnScale::InBounds(double X) const {
  return LowFloat() <= X && X <= HighFloat();
}
bool TVarnScale::InBounds(int I) const {
  return Low() <= I && I <= High();
}
double TVarnScale::IntoBounds(double X) const {
  return std::min(std::max(X, LowFloat()), HighFloat());
}
int TVarnScale::IntoBounds(int I) const {
  return std::min(std::max(I, Low()), High());
}

// ---------------------------------------------------------------------------
// TVarnDiscreteScale

TVarnDiscreteScale::TVarnDiscreteScale()
    : FValues(std::make_unique<TVarnScaleValueList>(true, false, dupAccept)) {
  FClassName = "TVarnDiscreteScale";
}

TVarnDiscreteScale::~TVarnDiscreteScale() = default;

int TVarnDiscreteScale::GetCount() const {
  return FValues->Count();
}

std::string TVarnDiscreteScale::GetScaleString() const {
  std::string S = TVarnScale::GetScaleString();
  if (!S.empty()) S += " ";
  for (int I = 0; I < Count(); I++) {
    if (I > 0) S += ";";
    S += Names(I);
    if (IsBad(I))
      S += "(-)";
    else if (IsGood(I))
      S += "(+)";
  }
  return S;
}

bool TVarnDiscreteScale::Equal(const TVarnScale* Other) const {
  if (!TVarnScale::Equal(Other)) return false;
  auto* D = dynamic_cast<const TVarnDiscreteScale*>(Other);
  if (D == nullptr) return false;
  for (int I = 0; I < Count(); I++)
    if (Names(I) != D->Names(I) || Descriptions(I) != D->Descriptions(I)) return false;
  return true;
}

void TVarnDiscreteScale::AssignScale(const TVarnScale* Other) {
  TVarnScale::AssignScale(Other);
  auto* D = dynamic_cast<const TVarnDiscreteScale*>(Other);
  if (D == nullptr || D == this) return;
  for (int I = 0; I < D->Count(); I++) {
    auto Value = std::make_unique<TVarnScaleValue>(D->Names(I), D->Descriptions(I));
    FValues->Add(Value.get());
    Value.release();
  }
}

void TVarnDiscreteScale::AddValue(const std::string& AName, const std::string& ADescription) {
  auto Value = std::make_unique<TVarnScaleValue>(AName, ADescription);
  FValues->Add(Value.get());
  Value.release();
  AdjustAfterInsert(Count() - 1);
}

void TVarnDiscreteScale::InsertValue(int Index, const std::string& AName, const std::string& ADescription) {
  if (Index == Count()) {
    AddValue(AName, ADescription);
    return;
  }
  auto Value = std::make_unique<TVarnScaleValue>(AName, ADescription);
  FValues->Insert(Index, Value.get());
  Value.release();
  AdjustAfterInsert(Index);
}

void TVarnDiscreteScale::DeleteValue(int Index) {
  FValues->Delete(Index);
  AdjustAfterDelete(Index);
}

void TVarnDiscreteScale::MoveUp(int Index) {
  FValues->Move(Index, Index - 1);
}
void TVarnDiscreteScale::MoveDown(int Index) {
  FValues->Move(Index, Index + 1);
}

void TVarnDiscreteScale::DefaultCategory() {
  if (IsOrdered() && Count() > 1) {
    FBGLow = Low() + 0.5;
    FBGHigh = High() - 0.5;
  } else {
    ResetCategories();
  }
}

int TVarnDiscreteScale::CountBads() const {
  int N = 0;
  for (int I = 0; I < Count(); I++) N += IsBad(I) ? 1 : 0;
  return N;
}

int TVarnDiscreteScale::CountGoods() const {
  int N = 0;
  for (int I = 0; I < Count(); I++) N += IsGood(I) ? 1 : 0;
  return N;
}

void TVarnDiscreteScale::GetNameStrings(TStringList& Target, bool Append) const {
  FValues->GetNameStrings(Target, Append);
}

void TVarnDiscreteScale::GetDescriptionStrings(TStringList& Target, bool Append) const {
  FValues->GetDescriptionStrings(Target, Append);
}

void TVarnDiscreteScale::AdjustAfterInsert(int V) {
  if (!IsOrdered() || Count() <= 2) {
    DefaultCategory();
    return;
  }
  if (V <= FBGLow) FBGLow += 1;
  if (V >= High() || V <= FBGHigh) FBGHigh += 1;
}

void TVarnDiscreteScale::AdjustAfterDelete(int V) {
  if (!IsOrdered() || Count() <= 1) {
    DefaultCategory();
    return;
  }
  if (V < FBGLow) FBGLow -= 1;
  if (V > High() || V < FBGHigh) FBGHigh -= 1;
}

}  // namespace vt
