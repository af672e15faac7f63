#include "foundation/Lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/Utils.h"

namespace vt {
namespace {

// An object that records its value in a shared log when it is destroyed.
class TTracked : public TObject {
 public:
  TTracked(int V, std::vector<int>* Log) : Value(V), FLog(Log) {}
  ~TTracked() override {
    if (FLog) FLog->push_back(Value);
  }
  int Value;

 private:
  std::vector<int>* FLog;
};

int CompareTracked(TObject* O1, TObject* O2) {
  const int V1 = static_cast<TTracked*>(O1)->Value;
  const int V2 = static_cast<TTracked*>(O2)->Value;
  return V1 < V2 ? -1 : (V1 > V2 ? 1 : 0);
}

// Every test owns its objects through this pool unless a list owns them.
class ObjListTest : public ::testing::Test {
 protected:
  TTracked* Make(int V) {
    FPool.push_back(std::make_unique<TTracked>(V, nullptr));
    return FPool.back().get();
  }
  // An object whose release is logged; a list must own it.
  TTracked* MakeOwned(int V) { return new TTracked(V, &Released); }

  static std::vector<int> Values(const TObjList& L) {
    std::vector<int> Out;
    for (TObject* O : L) Out.push_back(O ? static_cast<TTracked*>(O)->Value : -1);
    return Out;
  }

  std::vector<int> Released;

 private:
  std::vector<std::unique_ptr<TTracked>> FPool;
};

#define EXPECT_LIST_ERROR(Statement, Message)                 \
  do {                                                        \
    try {                                                     \
      Statement;                                              \
      ADD_FAILURE() << "no EListError from " #Statement;      \
    } catch (const EListError& E) {                           \
      EXPECT_EQ(std::string(E.what()), std::string(Message)); \
    }                                                         \
  } while (false)

// ---------------------------------------------------------------------------
// Sorted mode and duplicates

TEST_F(ObjListTest, SortedAddWithDupAcceptInsertsBeforeEqualObjects) {
  TObjList L(false, true, dupAccept);
  L.SetOnCompareObj(CompareTracked);
  TTracked* P = Make(1);
  TTracked* Q1 = Make(2);
  TTracked* R = Make(3);
  TTracked* Q2 = Make(2);
  L.Add(R);
  L.Add(P);
  L.Add(Q1);
  EXPECT_EQ(L.Add(Q2), 1);
  ASSERT_EQ(L.Count(), 4);
  EXPECT_EQ(L.Objects(0), P);
  EXPECT_EQ(L.Objects(1), Q2);
  EXPECT_EQ(L.Objects(2), Q1);
  EXPECT_EQ(L.Objects(3), R);
}

TEST_F(ObjListTest, SortedAddOfEqualObjectUnderIgnoreAndError) {
  TObjList Ignore(false, true, dupIgnore);
  Ignore.SetOnCompareObj(CompareTracked);
  for (int V : {1, 2, 3}) Ignore.Add(Make(V));
  EXPECT_EQ(Ignore.Add(Make(2)), 1);
  EXPECT_EQ(Values(Ignore), (std::vector<int>{1, 2, 3}));

  TObjList Error(false, true, dupError);
  Error.SetOnCompareObj(CompareTracked);
  for (int V : {1, 2, 3}) Error.Add(Make(V));
  EXPECT_LIST_ERROR(Error.Add(Make(3)), "Object list does not allow duplicates");
  EXPECT_EQ(Values(Error), (std::vector<int>{1, 2, 3}));
}

class TMyObjList : public TObjList {};

TEST_F(ObjListTest, MissingComparisonNamesTheListClass) {
  TObjList L(false, true, dupAccept);
  EXPECT_EQ(L.Add(Make(1)), 0);  // nothing to compare with yet
  EXPECT_LIST_ERROR(L.Add(Make(2)), "TObjList: undefined CompareObj method");
  EXPECT_EQ(L.Count(), 1);

  TMyObjList Sub;
  Sub.Add(Make(2));
  Sub.Add(Make(1));
  EXPECT_LIST_ERROR(Sub.SetSorted(true), "TMyObjList: undefined CompareObj method");
  EXPECT_FALSE(Sub.Sorted());
  EXPECT_EQ(Values(Sub), (std::vector<int>{2, 1}));
}

TEST_F(ObjListTest, FindGivesFirstOfRunOrInsertionPoint) {
  TObjList L(false, true, dupAccept);
  L.SetOnCompareObj(CompareTracked);
  int Index = -5;
  EXPECT_FALSE(L.Find(Make(1), Index));
  EXPECT_EQ(Index, 0);
  for (int V : {1, 3, 3, 3, 5}) L.Add(Make(V));
  struct Case {
    int Key;
    bool Found;
    int Index;
  };
  for (const Case& C : {Case{0, false, 0}, Case{1, true, 0}, Case{2, false, 1}, Case{3, true, 1},
                        Case{4, false, 4}, Case{5, true, 4}, Case{9, false, 5}}) {
    EXPECT_EQ(L.Find(Make(C.Key), Index), C.Found) << C.Key;
    EXPECT_EQ(Index, C.Index) << C.Key;
  }
}

TEST_F(ObjListTest, SortedSetterSortsAndComparisonSetterSwitchesItOff) {
  TObjList L;
  for (int V : {5, 1, 4, 2, 3}) L.Add(Make(V));
  L.SetOnCompareObj(CompareTracked);
  L.SetSorted(true);
  EXPECT_TRUE(L.Sorted());
  EXPECT_EQ(Values(L), (std::vector<int>{1, 2, 3, 4, 5}));
  L.SetOnCompareObj(CompareTracked);
  EXPECT_FALSE(L.Sorted());
}

TEST_F(ObjListTest, ReorderingSwitchesSortedOffSoAddAppends) {
  using Op = std::function<void(TObjList&)>;
  const std::vector<std::pair<const char*, Op>> Ops = {
      {"Insert", [this](TObjList& L) { L.Insert(0, Make(9)); }},
      {"Exchange", [](TObjList& L) { L.Exchange(0, 1); }},
      {"Move", [](TObjList& L) { L.Move(0, 1); }},
  };
  for (const auto& [Name, Apply] : Ops) {
    TObjList L(false, true, dupAccept);
    L.SetOnCompareObj(CompareTracked);
    for (int V : {1, 2, 3}) L.Add(Make(V));
    Apply(L);
    EXPECT_FALSE(L.Sorted()) << Name;
    const int Index = L.Add(Make(0));
    EXPECT_EQ(Index, L.Count() - 1) << Name;
  }
}

TEST_F(ObjListTest, ExchangeAndMoveByObjectOrIndex) {
  TObjList L;
  TTracked* A = Make(1);
  TTracked* B = Make(2);
  TTracked* C = Make(3);
  for (TTracked* O : {A, B, C}) L.Add(O);
  L.Move(0, 2);
  EXPECT_EQ(Values(L), (std::vector<int>{2, 3, 1}));
  L.Move(A, B);  // both looked up before moving: A at 2 goes to 0
  EXPECT_EQ(Values(L), (std::vector<int>{1, 2, 3}));
  L.Exchange(A, C);
  EXPECT_EQ(Values(L), (std::vector<int>{3, 2, 1}));
  L.Exchange(1, C);
  EXPECT_EQ(Values(L), (std::vector<int>{2, 3, 1}));
  L.Move(C, 2);
  EXPECT_EQ(Values(L), (std::vector<int>{2, 1, 3}));
}

// ---------------------------------------------------------------------------
// Ownership

TEST_F(ObjListTest, RemovalOperationsReleaseOnlyAsDocumented) {
  struct Case {
    const char* Name;
    bool Owning;
    std::function<TObject*(TObjList&, TObject*)> Apply;
    int CountAfter;
    bool Released;
    bool Returned;
  };
  const std::vector<Case> Cases = {
      {"DeleteObject owning", true,
       [](TObjList& L, TObject*) {
         L.DeleteObject(1);
         return nullptr;
       },
       3, true, false},
      {"DeleteObject not owning", false,
       [](TObjList& L, TObject* O) {
         L.DeleteObject(O);
         return nullptr;
       },
       3, false, false},
      {"FreeObject not owning", false,
       [](TObjList& L, TObject* O) {
         L.FreeObject(O);
         return nullptr;
       },
       3, true, false},
      {"Delete owning", true,
       [](TObjList& L, TObject*) {
         L.Delete(1);
         return nullptr;
       },
       2, true, false},
      {"Delete not owning", false,
       [](TObjList& L, TObject* O) {
         L.Delete(O);
         return nullptr;
       },
       2, false, false},
      {"Exclude owning", true,
       [](TObjList& L, TObject* O) {
         L.Exclude(O);
         return nullptr;
       },
       2, true, false},
      {"Pull owning", true, [](TObjList& L, TObject*) { return L.Pull(1); }, 3, false, true},
      {"PullOut owning", true, [](TObjList& L, TObject* O) { return L.PullOut(O); }, 2, false, true},
  };
  for (const Case& C : Cases) {
    Released.clear();
    TTracked* Middle = MakeOwned(2);
    {
      TObjList L(C.Owning);
      L.Add(MakeOwned(1));
      L.Add(Middle);
      L.Add(MakeOwned(3));
      TObject* Out = C.Apply(L, Middle);
      EXPECT_EQ(L.Count(), C.CountAfter) << C.Name;
      EXPECT_EQ(Released, C.Released ? std::vector<int>{2} : std::vector<int>{}) << C.Name;
      EXPECT_EQ(Out, C.Returned ? Middle : nullptr) << C.Name;
      if (C.CountAfter == 3) {
        EXPECT_EQ(L.Objects(1), nullptr) << C.Name;
      }
      if (!C.Owning) {
        for (TObject* O : L) delete O;
        L.Clear();
      }
    }
    if (!C.Released) delete Middle;
  }
}

TEST_F(ObjListTest, ClearAndDestructionReleaseEveryObjectOnceWhenOwning) {
  {
    TObjList L(true);
    for (int V : {1, 2, 3, 4}) L.Add(MakeOwned(V));
    L.Add(nullptr);
    std::unique_ptr<TObject> Pulled(L.Pull(1));  // handed out: the list must not release it
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(L.Capacity(), 0);
    EXPECT_EQ(Released, (std::vector<int>{1, 3, 4}));
    Pulled.reset();
    Released.pop_back();
    L.Add(MakeOwned(5));
    L.Add(MakeOwned(6));
  }
  EXPECT_EQ(Released, (std::vector<int>{1, 3, 4, 5, 6}));

  std::vector<std::unique_ptr<TTracked>> Kept;
  {
    TObjList L(false);
    for (int V : {7, 8}) {
      Kept.push_back(std::make_unique<TTracked>(V, &Released));
      L.Add(Kept.back().get());
    }
    L.Clear();
    L.Add(Kept[0].get());
  }
  EXPECT_EQ(Released, (std::vector<int>{1, 3, 4, 5, 6}));
}

TEST_F(ObjListTest, WritingObjectsReleasesThePreviousOneOnly) {
  TObjList L(true);
  L.Add(MakeOwned(1));
  TTracked* Two = MakeOwned(2);
  L.SetObjects(0, Two);
  EXPECT_EQ(Released, (std::vector<int>{1}));
  // Storing the object a slot already holds keeps it alive.
  L.SetObjects(0, Two);
  EXPECT_EQ(Released, (std::vector<int>{1}));
  EXPECT_EQ(static_cast<TTracked*>(L.Objects(0))->Value, 2);
}

// ---------------------------------------------------------------------------
// Errors leave the list unchanged

TEST_F(ObjListTest, ObjectFormsWithAnAbsentObjectRaiseIndexMinusOne) {
  TTracked* Absent = Make(99);
  using Op = std::function<void(TObjList&)>;
  const std::vector<std::pair<const char*, Op>> Ops = {
      {"Delete", [=](TObjList& L) { L.Delete(Absent); }},
      {"DeleteObject", [=](TObjList& L) { L.DeleteObject(Absent); }},
      {"FreeObject", [=](TObjList& L) { L.FreeObject(Absent); }},
      {"Pull", [=](TObjList& L) { L.Pull(Absent); }},
      {"PullOut", [=](TObjList& L) { L.PullOut(Absent); }},
      {"Exchange", [=](TObjList& L) { L.Exchange(Absent, L.Objects(0)); }},
      {"Exchange index", [=](TObjList& L) { L.Exchange(0, Absent); }},
      {"Move", [=](TObjList& L) { L.Move(Absent, 0); }},
      {"Move to object", [=](TObjList& L) { L.Move(1, Absent); }},
      {"Move both absent", [=](TObjList& L) { L.Move(Absent, Absent); }},
  };
  for (const auto& [Name, Apply] : Ops) {
    Released.clear();
    TObjList L(true, true, dupAccept);
    L.SetOnCompareObj(CompareTracked);
    for (int V : {1, 2, 3}) L.Add(MakeOwned(V));
    EXPECT_LIST_ERROR(Apply(L), "List index out of bounds (-1)");
    EXPECT_EQ(Values(L), (std::vector<int>{1, 2, 3})) << Name;
    EXPECT_TRUE(L.Sorted()) << Name;
    EXPECT_TRUE(Released.empty()) << Name;
  }
  TObjList L;
  L.Add(Make(1));
  L.Exclude(Absent);
  EXPECT_EQ(L.Count(), 1);
}

TEST_F(ObjListTest, IndexAndCapacityErrors) {
  TObjList L;
  for (int V : {1, 2, 3}) L.Add(Make(V));
  EXPECT_LIST_ERROR(L.Objects(3), "List index out of bounds (3)");
  EXPECT_LIST_ERROR(L.Objects(-1), "List index out of bounds (-1)");
  EXPECT_LIST_ERROR(L.Insert(4, Make(4)), "List index out of bounds (4)");
  EXPECT_LIST_ERROR(L.Exchange(0, 7), "List index out of bounds (7)");
  EXPECT_LIST_ERROR(L.Move(0, 3), "List index out of bounds (3)");
  EXPECT_LIST_ERROR(L.SetObjects(5, nullptr), "List index out of bounds (5)");
  EXPECT_LIST_ERROR(L.SetCapacity(2), "List capacity out of bounds (2)");
  EXPECT_LIST_ERROR(L.SetCapacity(TList::MaxListSize + 1), "List capacity out of bounds (134217728)");
  EXPECT_EQ(Values(L), (std::vector<int>{1, 2, 3}));
  L.Insert(3, Make(4));
  L.SetCapacity(10);
  EXPECT_EQ(L.Capacity(), 10);
  EXPECT_TRUE(L.ValidIndex(3));
  EXPECT_FALSE(L.ValidIndex(4));
  EXPECT_FALSE(L.ValidIndex(-1));
}

// ---------------------------------------------------------------------------
// Assign

TEST_F(ObjListTest, AssignCopiesPolicyAndAppendsWithoutEmptying) {
  TObjList Source(false, true, dupError);
  Source.SetOnCompareObj(CompareTracked);
  for (int V : {2, 4}) Source.Add(Make(V));
  TObjList Target;
  Target.Add(Make(3));
  Target.Assign(Source);
  EXPECT_TRUE(Target.Sorted());
  EXPECT_EQ(Target.Duplicates(), dupError);
  EXPECT_EQ(Target.OnCompareObj(), &CompareTracked);
  EXPECT_FALSE(Target.OwnObjects());
  EXPECT_GE(Target.Capacity(), Source.Capacity());
  EXPECT_EQ(Values(Target), (std::vector<int>{2, 3, 4}));
}

TEST_F(ObjListTest, FailingAssignLeavesTheListAsItWas) {
  TObjList Source(false, true, dupAccept);
  Source.SetOnCompareObj(CompareTracked);
  for (int V : {1, 1}) Source.Add(Make(V));
  Source.SetDuplicates(dupError);  // now the second equal object is refused
  TObjList Target;
  Target.Add(Make(5));
  EXPECT_LIST_ERROR(Target.Assign(Source), "Object list does not allow duplicates");
  EXPECT_EQ(Values(Target), (std::vector<int>{5}));
  EXPECT_FALSE(Target.Sorted());
  EXPECT_EQ(Target.Duplicates(), dupAccept);
  EXPECT_EQ(Target.OnCompareObj(), nullptr);
}

TEST_F(ObjListTest, AssignRefusesToShareObjectsBetweenOwningLists) {
  TObjList Source(true);
  Source.Add(MakeOwned(1));
  TObjList Target(true);
  EXPECT_LIST_ERROR(Target.Assign(Source),
                    "TObjList: an owning list cannot take the objects of another owning list");
  EXPECT_LIST_ERROR(Source.Assign(Source),
                    "TObjList: an owning list cannot take the objects of another owning list");
  EXPECT_EQ(Target.Count(), 0);
  EXPECT_EQ(Source.Count(), 1);
  // An owning list may take over the objects of a list that does not own them.
  TObjList Plain;
  Plain.Add(MakeOwned(2));
  Target.Assign(Plain);
  EXPECT_EQ(Target.Count(), 1);
}

// ---------------------------------------------------------------------------
// Sorting

TEST_F(ObjListTest, SortMatchesAReferenceSortOnRandomData) {
  std::mt19937 Rng(7);
  for (int N : {2, 3, 10, 257, 2000}) {
    TObjList L;
    L.SetOnCompareObj(CompareTracked);
    std::vector<int> Expected;
    for (int I = 0; I < N; ++I) {
      const int V = static_cast<int>(Rng() % 50);
      L.Add(Make(V));
      Expected.push_back(V);
    }
    L.Sort();
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Values(L), Expected) << N;
    EXPECT_FALSE(L.Sorted());  // Sort alone does not switch sorted mode on
  }
}

int Inconsistent(TObject*, TObject*) {
  return -1;
}

TEST_F(ObjListTest, SortWithAnInconsistentComparisonStaysInsideTheList) {
  TObjList L;
  for (int V = 0; V < 100; ++V) L.Add(Make(V));
  L.SetOnCompareObj(Inconsistent);
  L.Sort();
  EXPECT_EQ(L.Count(), 100);
  std::vector<int> V = Values(L);
  std::sort(V.begin(), V.end());
  for (int I = 0; I < 100; ++I) EXPECT_EQ(V[static_cast<size_t>(I)], I);
}

// ===========================================================================
// String lists

class StrListTest : public ::testing::Test {
 protected:
  TTracked* MakeOwned(int V) { return new TTracked(V, &Released); }
  static std::vector<std::string> Strings(const TStringList& L) {
    std::vector<std::string> Out;
    for (int I = 0; I < L.Count(); ++I) Out.push_back(L.Strings(I));
    return Out;
  }
  std::vector<int> Released;
};

int CompareCaseSensitive(const std::string& S1, const std::string& S2) {
  return std::strcmp(S1.c_str(), S2.c_str());
}

TEST_F(StrListTest, IndexOfIsCaseInsensitiveUnlessACallbackDecides) {
  TStrList L;
  for (const char* S : {"xyz", "abc", "čas"}) L.Add(S);
  EXPECT_EQ(L.IndexOf("ABC"), 1);
  EXPECT_EQ(L.IndexOf("ČAS"), 2);
  EXPECT_EQ(L.IndexOf("abd"), -1);
  L.SetOnCompareText(CompareCaseSensitive);
  EXPECT_EQ(L.IndexOf("ABC"), -1);
  EXPECT_EQ(L.IndexOf("abc"), 1);
  L.SetSorted(true);
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"abc", "xyz", "čas"}));
  EXPECT_EQ(L.IndexOf("xyz"), 1);
  EXPECT_EQ(L.IndexOf("XYZ"), -1);
}

TEST_F(StrListTest, SortedAddFollowsTheDuplicatesPolicy) {
  TStrList Error(false, true, dupError);
  Error.Add("b");
  Error.Add("a");
  EXPECT_LIST_ERROR(Error.Add("B"), "String list does not allow duplicates");
  EXPECT_LIST_ERROR(Error.Insert(0, "c"), "Operation not allowed on sorted list");
  EXPECT_LIST_ERROR(Error.SetStrings(0, "c"), "Operation not allowed on sorted list");
  EXPECT_EQ(Strings(Error), (std::vector<std::string>{"a", "b"}));

  TStrList Ignore(false, true, dupIgnore);
  Ignore.Add("a");
  Ignore.Add("c");
  EXPECT_EQ(Ignore.Add("C"), 1);
  EXPECT_EQ(Ignore.Count(), 2);

  TStrList Accept(false, true, dupAccept);
  for (const char* S : {"b", "a", "B", "c"}) Accept.Add(S);
  EXPECT_EQ(Strings(Accept), (std::vector<std::string>{"a", "B", "b", "c"}));
}

TEST_F(StrListTest, AssignStringsCopiesTextsWithoutObjects) {
  TStrList Source(true);
  Source.AddObject("one", MakeOwned(1));
  Source.AddObject("two", MakeOwned(2));
  TStrList Copy(true);
  Copy.AddObject("old", MakeOwned(9));
  Copy.AssignStrings(&Source);
  EXPECT_EQ(Released, (std::vector<int>{9}));
  EXPECT_EQ(Strings(Copy), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(Copy.Objects(0), nullptr);
  EXPECT_EQ(Copy.Objects(1), nullptr);
  EXPECT_FALSE(Copy.OwnObjects());
  EXPECT_NE(Source.Objects(0), nullptr);
}

TEST_F(StrListTest, AssignSharesObjectsWithoutOwningThem) {
  TStrList Source(true, true, dupError);
  Source.AddObject("b", MakeOwned(2));
  Source.AddObject("a", MakeOwned(1));
  {
    TStrList Copy(true);
    Copy.Assign(&Source);
    EXPECT_FALSE(Copy.OwnObjects());
    EXPECT_TRUE(Copy.Sorted());
    EXPECT_EQ(Copy.Duplicates(), dupError);
    EXPECT_EQ(Copy.Objects(0), Source.Objects(0));
    Copy.Assign(nullptr);
    Copy.Assign(&Copy);
    EXPECT_EQ(Copy.Count(), 2);
  }
  EXPECT_TRUE(Released.empty());
}

TEST_F(StrListTest, AssignedSortedCopyFollowsItsOwnComparison) {
  TStrList Source(false, false, dupAccept);
  Source.SetOnCompareText(CompareCaseSensitive);
  for (const char* S : {"b", "B", "a"}) Source.Add(S);
  Source.SetSorted(true);  // B a b by bytes
  ASSERT_EQ(Strings(Source), (std::vector<std::string>{"B", "a", "b"}));
  TStrList Copy;
  Copy.Assign(&Source);
  // Without the callback the copy compares case-insensitively and is re-sorted.
  EXPECT_TRUE(Copy.Sorted());
  EXPECT_EQ(Copy.Strings(0), "a");
  EXPECT_EQ(Copy.IndexOf("A"), 0);
  EXPECT_TRUE(AnsiSameText(Copy.Strings(1), "b"));
  EXPECT_TRUE(AnsiSameText(Copy.Strings(2), "b"));
}

TEST_F(StrListTest, MoveKeepsTheObjectAndFailsWithoutLosingTheEntry) {
  TStrList L(true);
  for (int V : {0, 1, 2}) L.AddObject("s" + std::to_string(V), MakeOwned(V));
  TObject* Moved = L.Objects(0);
  L.Move(0, 2);
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"s1", "s2", "s0"}));
  EXPECT_EQ(L.Objects(2), Moved);
  EXPECT_TRUE(Released.empty());

  EXPECT_LIST_ERROR(L.Move(0, 3), "List index out of bounds (3)");
  EXPECT_LIST_ERROR(L.Move(-1, 0), "List index out of bounds (-1)");
  L.SetSorted(true);
  EXPECT_LIST_ERROR(L.Move(0, 1), "Operation not allowed on sorted list");
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"s0", "s1", "s2"}));
  EXPECT_TRUE(Released.empty());

  TStringList Plain;
  for (const char* S : {"a", "b"}) Plain.Add(S);
  Plain.Move(1, 0);
  EXPECT_EQ(Strings(Plain), (std::vector<std::string>{"b", "a"}));
  Plain.SetSorted(true);
  EXPECT_LIST_ERROR(Plain.Move(1, 0), "Operation not allowed on sorted list");
  EXPECT_EQ(Strings(Plain), (std::vector<std::string>{"a", "b"}));
}

TEST_F(StrListTest, ReleaseOperations) {
  {
    TStrList L(true);
    for (int V : {1, 2, 3, 4}) L.AddObject("x", MakeOwned(V));
    L.Delete(0);
    EXPECT_EQ(Released, (std::vector<int>{1}));
    TObject* Out = L.DeleteString(0);
    EXPECT_EQ(static_cast<TTracked*>(Out)->Value, 2);
    EXPECT_EQ(Released, (std::vector<int>{1}));
    delete Out;
    L.DeleteObject(0);  // releases 3, entry stays
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Objects(0), nullptr);
    L.SetObjects(0, MakeOwned(5));
    L.SetObjects(0, MakeOwned(6));  // the replaced object is released
    EXPECT_EQ(Released, (std::vector<int>{1, 2, 3, 5}));
    L.AddObject("y", MakeOwned(7));
  }
  EXPECT_EQ(Released, (std::vector<int>{1, 2, 3, 5, 6, 4, 7}));

  Released.clear();
  TStrList NotOwning;
  TTracked* A = MakeOwned(1);
  TTracked* B = MakeOwned(2);
  NotOwning.AddObject("a", A);
  NotOwning.AddObject("b", B);
  NotOwning.DeleteObject(A);
  NotOwning.Delete(1);
  EXPECT_TRUE(Released.empty());
  NotOwning.AddObject("b", B);
  NotOwning.FreeObject(B);  // releases regardless of ownership
  EXPECT_EQ(Released, (std::vector<int>{2}));
  EXPECT_LIST_ERROR(NotOwning.DeleteObject(A), "List index out of bounds (-1)");
  delete A;
}

TEST_F(StrListTest, SortObjectsNeedsAComparisonAndSwitchesSortedOff) {
  TStrList L(true, true, dupAccept);
  L.AddObject("b", MakeOwned(1));
  L.AddObject("a", MakeOwned(2));
  EXPECT_LIST_ERROR(L.SortObjects(), "TStrList: undefined CompareObj method");
  EXPECT_FALSE(L.Sorted());
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"a", "b"}));
  L.SetSorted(true);
  L.SetOnCompareObj(CompareTracked);
  EXPECT_FALSE(L.Sorted());
  L.SetSorted(true);
  L.SortObjects();
  EXPECT_FALSE(L.Sorted());
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(L.Contains(L.Objects(0)));
}

TEST_F(StrListTest, ChangeNotificationsAreHeldInsideAnUpdateBracket) {
  TStrList L;
  int Changes = 0;
  L.SetOnChange([&] { ++Changes; });
  for (const char* S : {"c", "b", "a"}) L.Add(S);
  EXPECT_EQ(Changes, 3);
  Changes = 0;
  L.BeginUpdate();
  L.Add("d");
  L.Delete(0);
  EXPECT_EQ(Changes, 0);
  L.EndUpdate();
  EXPECT_EQ(Changes, 1);
  Changes = 0;
  L.DeleteObjects();
  L.SetSorted(true);
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(L.UpdateCount(), 0);
  // A failing operation closes its bracket too.
  EXPECT_THROW(L.Delete(7), EListError);
  EXPECT_EQ(L.UpdateCount(), 0);
}

TEST_F(StrListTest, AddStringsIsAllOrNothing) {
  TStringList Source;
  for (const char* S : {"x", "a", "y"}) Source.Add(S);
  TStringList Target;
  Target.SetSorted(true);
  Target.SetDuplicates(dupError);
  Target.Add("y");
  EXPECT_LIST_ERROR(Target.AddStrings(Source), "String list does not allow duplicates");
  EXPECT_EQ(Strings(Target), (std::vector<std::string>{"y"}));
  Target.SetDuplicates(dupIgnore);
  Target.AddStrings(Source);
  Target.AddStrings(Target);
  EXPECT_EQ(Strings(Target), (std::vector<std::string>{"a", "x", "y"}));
}

TEST_F(StrListTest, TextJoinsWithCrLfAndSplitsAnyLineEnd) {
  TStringList L;
  L.SetText("one\r\ntwo\nthree\r\rfive\r\n");
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"one", "two", "three", "", "five"}));
  EXPECT_EQ(L.Text(), "one\r\ntwo\r\nthree\r\n\r\nfive\r\n");
  L.SetText("");
  EXPECT_EQ(L.Count(), 0);
}

TEST_F(StrListTest, IndexErrors) {
  TStrList L;
  L.Add("a");
  EXPECT_LIST_ERROR(L.Strings(1), "List index out of bounds (1)");
  EXPECT_LIST_ERROR(L.Delete(-1), "List index out of bounds (-1)");
  EXPECT_LIST_ERROR(L.InsertObject(2, "b", nullptr), "List index out of bounds (2)");
  EXPECT_LIST_ERROR(L.Exchange(0, 1), "List index out of bounds (1)");
  EXPECT_LIST_ERROR(L.DeleteString(3), "List index out of bounds (3)");
  EXPECT_EQ(Strings(L), (std::vector<std::string>{"a"}));
}

}  // namespace
}  // namespace vt
