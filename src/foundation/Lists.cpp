#include "foundation/Lists.h"

#include <algorithm>
#include <utility>

#include "foundation/Utils.h"

namespace vt {

// ===========================================================================
// TList

void TList::IndexError(int Index) {
  throw EListError(Fmt(SListIndexError, Index));
}

void TList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > MaxListSize)
    throw EListError(Fmt(SListCapacityError, NewCapacity));
  if (static_cast<size_t>(NewCapacity) < FList.capacity()) FList.shrink_to_fit();
  FList.reserve(static_cast<size_t>(NewCapacity));
  FCapacity = NewCapacity;
}

void TList::Grow() {
  const int Delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
  const int Wanted = std::min(MaxListSize, FCapacity + Delta);
  if (Wanted <= Count()) throw EListError(Fmt(SListCapacityError, FCapacity + Delta));
  SetCapacity(Wanted);
}

int TList::Add(TObject* Item) {
  if (Count() == FCapacity) Grow();
  FList.push_back(Item);
  return Count() - 1;
}

void TList::Insert(int Index, TObject* Item) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  if (Count() == FCapacity) Grow();
  FList.insert(FList.begin() + Index, Item);
}

void TList::Delete(int Index) {
  CheckIndex(Index);
  FList.erase(FList.begin() + Index);
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(At(Index1), At(Index2));
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(NewIndex);
  CheckIndex(CurIndex);
  if (CurIndex < NewIndex)
    std::rotate(FList.begin() + CurIndex, FList.begin() + CurIndex + 1, FList.begin() + NewIndex + 1);
  else
    std::rotate(FList.begin() + NewIndex, FList.begin() + CurIndex, FList.begin() + CurIndex + 1);
}

int TList::IndexOf(const TObject* Item) const {
  const auto It = std::find(FList.begin(), FList.end(), Item);
  return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

TObject* TList::Items(int Index) const {
  CheckIndex(Index);
  return At(Index);
}

void TList::SetItems(int Index, TObject* Item) {
  CheckIndex(Index);
  At(Index) = Item;
}

void TList::Clear() {
  FList.clear();
  FList.shrink_to_fit();
  FCapacity = 0;
}

// ===========================================================================
// TObjList

TObjList::TObjList(bool AOwnObjects, bool ASorted, TDuplicates ADuplicates)
    : FOwnObjects(AOwnObjects), FDuplicates(ADuplicates), FSorted(ASorted) {}

TObjList::~TObjList() {
  DeleteObjects();
}

void TObjList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TObjList::SetOnCompareObj(TOnCompareObj Value) {
  if (Count() > 0) SetSorted(false);
  FOnCompareObj = Value;
}

void TObjList::Clear() {
  DeleteObjects();
  TList::Clear();
}

void TObjList::QuickSort(int L, int R) {
  // Recursing into the smaller part keeps the depth logarithmic; the inner
  // scans stay inside L..R even when the comparison is inconsistent.
  while (L < R) {
    int I = L;
    int J = R;
    TObject* Pivot = At((L + R) / 2);
    do {
      while (I < R && CompareObj(At(I), Pivot) < 0) ++I;
      while (J > L && CompareObj(At(J), Pivot) > 0) --J;
      if (I <= J) {
        std::swap(At(I), At(J));
        ++I;
        --J;
      }
    } while (I <= J);
    if (J - L < R - I) {
      if (L < J) QuickSort(L, J);
      L = I;
    } else {
      if (I < R) QuickSort(I, R);
      R = J;
    }
  }
}

TObject* TObjList::Objects(int Index) const {
  return Items(Index);
}

void TObjList::SetObjects(int Index, TObject* Obj) {
  CheckIndex(Index);
  // Releasing the object the slot already holds would leave it dangling.
  if (At(Index) == Obj) return;
  DeleteObject(Index);
  At(Index) = Obj;
}

int TObjList::CompareObj(TObject* O1, TObject* O2) const {
  if (FOnCompareObj == nullptr) throw EListError(Fmt(SUndefinedCompareObj, RunTimeClassName(*this)));
  return FOnCompareObj(O1, O2);
}

namespace {

// Binary search of a sorted list of Count entries, CompareAt(I) comparing
// entry I with the key. Index is the position of the equal entry (the first
// of a run unless duplicates are accepted) or where the key would go.
template <typename TCompareAt>
bool SortedFind(int Count, TDuplicates Duplicates, TCompareAt CompareAt, int& Index) {
  bool Result = false;
  int Low = 0;
  int High = Count - 1;
  while (Low <= High) {
    const int Mid = Low + (High - Low) / 2;
    const int Cmp = CompareAt(Mid);
    if (Cmp < 0) {
      Low = Mid + 1;
    } else {
      High = Mid - 1;
      if (Cmp == 0) {
        Result = true;
        if (Duplicates != dupAccept) Low = Mid;
      }
    }
  }
  Index = Low;
  return Result;
}

}  // namespace

bool TObjList::Find(TObject* Obj, int& Index) const {
  return SortedFind(Count(), FDuplicates, [&](int I) { return CompareObj(At(I), Obj); }, Index);
}

void TObjList::Sort() {
  if (!FSorted && Count() > 1) QuickSort(0, Count() - 1);
}

void TObjList::FreeObject(int Index) {
  CheckIndex(Index);
  // The slot is cleared first so that a destructor looking at the list sees
  // the object gone.
  TObject* Obj = std::exchange(At(Index), nullptr);
  delete Obj;
}

void TObjList::FreeObject(TObject* Obj) {
  FreeObject(IndexOfObj(Obj));
}

void TObjList::FreeObjects() {
  for (int I = 0; I < Count(); ++I) FreeObject(I);
}

void TObjList::DeleteObject(int Index) {
  CheckIndex(Index);
  if (FOwnObjects)
    FreeObject(Index);
  else
    At(Index) = nullptr;
}

void TObjList::DeleteObject(TObject* Obj) {
  DeleteObject(IndexOfObj(Obj));
}

void TObjList::DeleteObjects() {
  for (int I = 0; I < Count(); ++I) DeleteObject(I);
}

TObject* TObjList::Pull(int Index) {
  CheckIndex(Index);
  return std::exchange(At(Index), nullptr);
}

TObject* TObjList::Pull(TObject* Obj) {
  return Pull(IndexOfObj(Obj));
}

TObject* TObjList::PullOut(int Index) {
  TObject* Obj = Items(Index);
  TList::Delete(Index);
  return Obj;
}

TObject* TObjList::PullOut(TObject* Obj) {
  return PullOut(IndexOfObj(Obj));
}

int TObjList::IndexOfObj(const TObject* Obj) const {
  const int Index = IndexOf(Obj);
  if (Index < 0) IndexError(Index);
  return Index;
}

int TObjList::Add(TObject* Obj) {
  if (!FSorted) return TList::Add(Obj);
  int Index = 0;
  if (Find(Obj, Index)) {
    if (FDuplicates == dupIgnore) return Index;
    if (FDuplicates == dupError) throw EListError(SDuplicateObject);
  }
  TList::Insert(Index, Obj);
  return Index;
}

void TObjList::Insert(int Index, TObject* Obj) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  FSorted = false;
  TList::Insert(Index, Obj);
}

void TObjList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  FSorted = false;
  TList::Exchange(Index1, Index2);
}

void TObjList::Exchange(TObject* Obj1, TObject* Obj2) {
  Exchange(IndexOf(Obj1), IndexOf(Obj2));
}

void TObjList::Exchange(int Index1, TObject* Obj2) {
  Exchange(Index1, IndexOf(Obj2));
}

void TObjList::Exchange(TObject* Obj1, int Index2) {
  Exchange(IndexOf(Obj1), Index2);
}

void TObjList::Move(int CurIndex, int NewIndex) {
  CheckIndex(NewIndex);
  CheckIndex(CurIndex);
  FSorted = false;
  TList::Move(CurIndex, NewIndex);
}

void TObjList::Move(TObject* CurObj, TObject* NewObj) {
  Move(IndexOf(CurObj), IndexOf(NewObj));
}

void TObjList::Move(TObject* CurObj, int NewIndex) {
  Move(IndexOf(CurObj), NewIndex);
}

void TObjList::Move(int CurIndex, TObject* NewObj) {
  Move(CurIndex, IndexOf(NewObj));
}

void TObjList::Include(TObject* Obj) {
  if (!Contains(Obj)) Add(Obj);
}

void TObjList::Exclude(TObject* Obj) {
  const int Index = IndexOf(Obj);
  if (Index >= 0) Delete(Index);
}

void TObjList::Delete(int Index) {
  DeleteObject(Index);
  TList::Delete(Index);
}

void TObjList::Delete(TObject* Obj) {
  Delete(IndexOfObj(Obj));
}

void TObjList::Assign(const TObjList& Source) {
  if (FOwnObjects && (Source.FOwnObjects || &Source == this))
    throw EListError(Fmt(SSharedOwnedObjects, RunTimeClassName(*this)));
  // Work on a copy of the entries so that a failing Add leaves the list as it was.
  std::vector<TObject*> Saved(begin(), end());
  const TDuplicates SavedDuplicates = FDuplicates;
  const bool SavedSorted = FSorted;
  const TOnCompareObj SavedCompare = FOnCompareObj;
  const int SavedCapacity = Capacity();
  try {
    FDuplicates = Source.FDuplicates;
    FSorted = Source.FSorted;
    FOnCompareObj = Source.FOnCompareObj;
    const int SourceCount = Source.Count();
    SetCapacity(std::max(Source.Capacity(), std::min(MaxListSize, Count() + SourceCount)));
    for (int I = 0; I < SourceCount; ++I) Add(Source.At(I));
  } catch (...) {
    while (Count() > 0) TList::Delete(Count() - 1);
    for (TObject* Obj : Saved) TList::Add(Obj);
    SetCapacity(std::max(SavedCapacity, Count()));
    FDuplicates = SavedDuplicates;
    FSorted = SavedSorted;
    FOnCompareObj = SavedCompare;
    throw;
  }
}

// ===========================================================================
// TStringList

void TStringList::IndexError(int Index) {
  throw EListError(Fmt(SListIndexError, Index));
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

const std::string& TStringList::Strings(int Index) const {
  CheckIndex(Index);
  return Item(Index).FString;
}

void TStringList::SetStrings(int Index, const std::string& S) {
  if (FSorted) throw EListError(SSortedListError);
  CheckIndex(Index);
  Changing();
  Item(Index).FString = S;
  Changed();
}

TObject* TStringList::Objects(int Index) const {
  CheckIndex(Index);
  return Item(Index).FObject;
}

void TStringList::SetObjects(int Index, TObject* Obj) {
  CheckIndex(Index);
  Changing();
  Item(Index).FObject = Obj;
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

int TStringList::Add(const std::string& S) {
  return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* Obj) {
  int Index = Count();
  if (FSorted && Find(S, Index)) {
    if (FDuplicates == dupIgnore) return Index;
    if (FDuplicates == dupError) throw EListError(SDuplicateString);
  }
  InsertItem(Index, S, Obj);
  return Index;
}

void TStringList::Insert(int Index, const std::string& S) {
  InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* Obj) {
  if (FSorted) throw EListError(SSortedListError);
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, Obj);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* Obj) {
  Changing();
  FItems.insert(FItems.begin() + Index, TStringItem{S, Obj});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
  std::swap(Item(Index1), Item(Index2));
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  // Checked before the entry is taken out, so that a failure loses nothing.
  if (FSorted) throw EListError(SSortedListError);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  TUpdateGuard Guard(*this);
  const TStringItem Moved = Item(CurIndex);
  TStringList::Delete(CurIndex);
  TStringList::InsertObject(NewIndex, Moved.FString, Moved.FObject);
}

int TStringList::IndexOf(const std::string& S) const {
  if (FSorted) {
    int Index = 0;
    return Find(S, Index) ? Index : -1;
  }
  for (int I = 0; I < Count(); ++I)
    if (CompareStrings(Item(I).FString, S) == 0) return I;
  return -1;
}

int TStringList::IndexOfObject(const TObject* Obj) const {
  for (int I = 0; I < Count(); ++I)
    if (Item(I).FObject == Obj) return I;
  return -1;
}

void TStringList::AddStrings(const TStringList& Source) {
  TUpdateGuard Guard(*this);
  const std::vector<TStringItem> Saved = FItems;
  const std::vector<TStringItem> Added = Source.FItems;  // Source may be this list
  try {
    for (const TStringItem& E : Added) AddObject(E.FString, E.FObject);
  } catch (...) {
    FItems = Saved;
    throw;
  }
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  FItems.shrink_to_fit();
  Changed();
}

void TStringList::Assign(const TStringList* Source) {
  if (Source == nullptr || Source == this) return;
  TUpdateGuard Guard(*this);
  Clear();
  Changing();
  FItems = Source->FItems;
  ResortIfNeeded();
  Changed();
}

void TStringList::ResortIfNeeded() {
  if (!FSorted) return;
  for (int I = 1; I < Count(); ++I) {
    if (CompareStrings(Item(I - 1).FString, Item(I).FString) > 0) {
      // Out of the order of this list's comparison: sort by it.
      FSorted = false;
      Sort();
      FSorted = true;
      return;
    }
  }
}

bool TStringList::Find(const std::string& S, int& Index) const {
  return SortedFind(Count(), FDuplicates, [&](int I) { return CompareStrings(Item(I).FString, S); }, Index);
}

void TStringList::Sort() {
  if (FSorted || Count() < 2) return;
  Changing();
  QuickSortStrings(0, Count() - 1);
  Changed();
}

void TStringList::QuickSortStrings(int L, int R) {
  QuickSortItems(L, R, [](const TStringItem& E) -> const std::string& { return E.FString; },
                 [this](const std::string& A, const std::string& B) { return CompareStrings(A, B); });
}

std::string TStringList::Text() const {
  std::string Out;
  for (const TStringItem& E : FItems) {
    Out += E.FString;
    Out += "\r\n";
  }
  return Out;
}

void TStringList::SetText(const std::string& Value) {
  TUpdateGuard Guard(*this);
  Clear();
  size_t Start = 0;
  while (Start < Value.size()) {
    size_t End = Value.find_first_of("\r\n", Start);
    if (End == std::string::npos) End = Value.size();
    Add(Value.substr(Start, End - Start));
    if (End < Value.size() && Value[End] == '\r' && End + 1 < Value.size() && Value[End + 1] == '\n') ++End;
    Start = End + 1;
  }
}

void TStringList::BeginUpdate() {
  if (FUpdateCount == 0) Changing();
  ++FUpdateCount;
}

void TStringList::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TStringList::Changing() {
  if (FUpdateCount == 0 && FOnChanging) FOnChanging();
}

void TStringList::Changed() {
  if (FUpdateCount == 0 && FOnChange) FOnChange();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return AnsiCompareText(S1, S2);
}

// ===========================================================================
// TStrList

TStrList::TStrList(bool AOwnObjects, bool ASorted, TDuplicates ADuplicates) : FOwnObjects(AOwnObjects) {
  SetSorted(ASorted);
  SetDuplicates(ADuplicates);
}

TStrList::~TStrList() {
  // Whoever listened may already be gone.
  SetOnChange(nullptr);
  SetOnChanging(nullptr);
  DeleteObjects();
}

void TStrList::SetOnCompareText(TOnCompareText Value) {
  if (Count() > 0) SetSorted(false);
  FOnCompareText = Value;
}

void TStrList::SetOnCompareObj(TOnCompareObj Value) {
  if (Count() > 0) SetSorted(false);
  FOnCompareObj = Value;
}

void TStrList::Assign(const TStringList* Source) {
  if (Source == nullptr || Source == this) return;
  TUpdateGuard Guard(*this);
  Clear();
  FOwnObjects = false;
  SetDuplicates(Source->Duplicates());
  SetSorted(Source->Sorted());
  TStringList::Assign(Source);
}

void TStrList::Clear() {
  DeleteObjects();
  TStringList::Clear();
}

void TStrList::Delete(int Index) {
  TUpdateGuard Guard(*this);
  DeleteObject(Index);
  TStringList::Delete(Index);
}

int TStrList::IndexOf(const std::string& S) const {
  if (Sorted()) {
    int Index = 0;
    return Find(S, Index) ? Index : -1;
  }
  for (int I = 0; I < Count(); ++I)
    if (CompareText(Item(I).FString, S) == 0) return I;
  return -1;
}

void TStrList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  // Checked before the entry is taken out, so that a failure loses nothing.
  if (Sorted()) throw EListError(SSortedListError);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  TUpdateGuard Guard(*this);
  const std::string S = Strings(CurIndex);
  TObject* Obj = DeleteString(CurIndex);
  InsertObject(NewIndex, S, Obj);
}

bool TStrList::Find(const std::string& S, int& Index) const {
  bool Result = false;
  int Low = 0;
  int High = Count() - 1;
  while (Low <= High) {
    const int Mid = Low + (High - Low) / 2;
    const int Cmp = CompareText(Item(Mid).FString, S);
    if (Cmp < 0) {
      Low = Mid + 1;
    } else {
      High = Mid - 1;
      if (Cmp == 0) {
        Result = true;
        if (Duplicates() != dupAccept) Low = Mid;
      }
    }
  }
  Index = Low;
  return Result;
}

void TStrList::Sort() {
  if (Sorted() || Count() < 2) return;
  Changing();
  QuickSort(0, Count() - 1);
  Changed();
}

void TStrList::SetObjects(int Index, TObject* Obj) {
  CheckIndex(Index);
  if (Item(Index).FObject == Obj) return;
  TUpdateGuard Guard(*this);
  DeleteObject(Index);
  TStringList::SetObjects(Index, Obj);
}

void TStrList::QuickSort(int L, int R) {
  QuickSortItems(L, R, [](const TStringItem& E) -> const std::string& { return E.FString; },
                 [this](const std::string& A, const std::string& B) { return CompareText(A, B); });
}

void TStrList::QuickSortObj(int L, int R) {
  QuickSortItems(L, R, [](const TStringItem& E) { return E.FObject; },
                 [this](TObject* A, TObject* B) { return CompareObj(A, B); });
}

int TStrList::CompareText(const std::string& S1, const std::string& S2) const {
  return FOnCompareText ? FOnCompareText(S1, S2) : AnsiCompareText(S1, S2);
}

int TStrList::CompareObj(TObject* O1, TObject* O2) const {
  if (FOnCompareObj == nullptr) throw EListError(Fmt(SUndefinedCompareObj, RunTimeClassName(*this)));
  return FOnCompareObj(O1, O2);
}

int TStrList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return CompareText(S1, S2);
}

void TStrList::AssignStrings(const TStringList* Source) {
  TUpdateGuard Guard(*this);
  Assign(Source);
  DeleteObjects();
}

void TStrList::SortObjects() {
  if (Count() < 2) return;
  Changing();
  SetSorted(false);
  QuickSortObj(0, Count() - 1);
  Changed();
}

void TStrList::FreeObject(int Index) {
  CheckIndex(Index);
  TUpdateGuard Guard(*this);
  TObject* Obj = std::exchange(Item(Index).FObject, nullptr);
  delete Obj;
}

void TStrList::FreeObject(TObject* Obj) {
  FreeObject(IndexOfObject(Obj));
}

void TStrList::FreeObjects() {
  TUpdateGuard Guard(*this);
  for (int I = 0; I < Count(); ++I) FreeObject(I);
}

void TStrList::DeleteObject(int Index) {
  CheckIndex(Index);
  TUpdateGuard Guard(*this);
  if (FOwnObjects)
    FreeObject(Index);
  else
    Item(Index).FObject = nullptr;
}

void TStrList::DeleteObject(TObject* Obj) {
  DeleteObject(IndexOfObject(Obj));
}

void TStrList::DeleteObjects() {
  TUpdateGuard Guard(*this);
  for (int I = 0; I < Count(); ++I) DeleteObject(I);
}

TObject* TStrList::DeleteString(int Index) {
  CheckIndex(Index);
  TUpdateGuard Guard(*this);
  TObject* Obj = std::exchange(Item(Index).FObject, nullptr);
  Delete(Index);
  return Obj;
}

}  // namespace vt
