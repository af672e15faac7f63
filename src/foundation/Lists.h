// Object lists and string lists on which every subsystem keeps its objects.
//
// TList is the plain, ordered list of object references; TObjList adds
// ownership, a sorted mode driven by a comparison callback and a policy for
// equal objects. TStringList is the plain string list (each entry a string
// with an object reference); TStrList adds ownership of the entries' objects
// and replaceable text and object comparisons.
//
// Every list error is an EListError. A failing operation leaves the list as it
// was before the call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/Base.h"

namespace vt {

// Messages of this unit.
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SDuplicateObject = "Object list does not allow duplicates";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SUndefinedCompareObj = "%s: undefined CompareObj method";
// Two owning lists holding the same objects would release them twice.
inline constexpr const char* SSharedOwnedObjects =
    "%s: an owning list cannot take the objects of another owning list";

class EListError : public Exception {
 public:
  using Exception::Exception;
};

// What Add does in a sorted list when an equal entry is present.
enum TDuplicates { dupIgnore, dupAccept, dupError };

// Comparisons: negative when the first sorts before the second, zero when
// equal, positive otherwise.
using TOnCompareObj = int (*)(TObject* O1, TObject* O2);
using TOnCompareText = int (*)(const std::string& S1, const std::string& S2);

// ---------------------------------------------------------------------------
// TList: an ordered sequence of object references (null is a valid entry).
// Indices outside 0..Count-1 (0..Count for Insert) raise SListIndexError.
class TList : public TObject {
 public:
  // Lists larger than this are refused with SListCapacityError.
  static constexpr int MaxListSize = 0x7FFFFFFF / 16;

  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override = default;

  int Count() const { return static_cast<int>(FList.size()); }
  int Capacity() const { return FCapacity; }
  // Raises SListCapacityError when NewCapacity < Count (or beyond MaxListSize).
  void SetCapacity(int NewCapacity);

  // Appends and returns the new index.
  int Add(TObject* Item);
  void Insert(int Index, TObject* Item);
  void Delete(int Index);
  void Exchange(int Index1, int Index2);
  // Takes the entry out at CurIndex and inserts it at NewIndex (counted after
  // the removal); both must be valid indices.
  void Move(int CurIndex, int NewIndex);
  // The first index holding this very reference, or -1.
  int IndexOf(const TObject* Item) const;
  TObject* Items(int Index) const;
  void SetItems(int Index, TObject* Item);
  // Empties the list and sets the capacity to 0.
  virtual void Clear();

  // Read-only iteration over the references.
  std::vector<TObject*>::const_iterator begin() const { return FList.begin(); }
  std::vector<TObject*>::const_iterator end() const { return FList.end(); }

 protected:
  [[noreturn]] static void IndexError(int Index);
  void CheckIndex(int Index) const;
  // Element access without checks, for the sorting of subclasses.
  TObject*& At(int Index) { return FList[static_cast<size_t>(Index)]; }
  TObject* At(int Index) const { return FList[static_cast<size_t>(Index)]; }

 private:
  void Grow();

  std::vector<TObject*> FList;
  int FCapacity = 0;
};

// ---------------------------------------------------------------------------
// TObjList: a TList that may own its objects (releases what it deletes,
// replaces or clears), may be kept sorted by OnCompareObj, and has a policy
// for equal objects in sorted mode.
class TObjList : public TList {
 public:
  explicit TObjList(bool AOwnObjects = false, bool ASorted = false, TDuplicates ADuplicates = dupAccept);
  // DeleteObjects, then the base list is released.
  ~TObjList() override;

  // Properties.
  bool OwnObjects() const { return FOwnObjects; }
  void SetOwnObjects(bool Value) { FOwnObjects = Value; }
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  // Switching on sorts first (the flag stays off when sorting raises).
  void SetSorted(bool Value);
  TOnCompareObj OnCompareObj() const { return FOnCompareObj; }
  // Switches Sorted off first when the list is not empty.
  void SetOnCompareObj(TOnCompareObj Value);

  // Virtual operations, in slot order.
  // DeleteObjects, then the base Clear.
  void Clear() override;
  // In-place quicksort of L..R by CompareObj.
  virtual void QuickSort(int L, int R);
  virtual TObject* Objects(int Index) const;
  // Releases the old object when owning (unless it is the very object being
  // stored), then stores the new reference.
  virtual void SetObjects(int Index, TObject* Obj);
  // OnCompareObj, or SUndefinedCompareObj when it is unset.
  virtual int CompareObj(TObject* O1, TObject* O2) const;
  // Binary search by CompareObj; Index is the equal entry (the first of a run
  // under dupAccept) or the insertion point.
  virtual bool Find(TObject* Obj, int& Index) const;
  // Sorts when not Sorted and Count > 1.
  virtual void Sort();
  // Release always; the entry stays and holds null.
  virtual void FreeObject(int Index);
  virtual void FreeObject(TObject* Obj);
  virtual void FreeObjects();
  // Release only when owning; the entry stays and holds null.
  virtual void DeleteObject(int Index);
  virtual void DeleteObject(TObject* Obj);
  virtual void DeleteObjects();
  // Hand the object out without releasing it; the entry stays and holds null.
  virtual TObject* Pull(int Index);
  virtual TObject* Pull(TObject* Obj);
  // Hand the object out without releasing it; the entry is removed.
  virtual TObject* PullOut(int Index);
  virtual TObject* PullOut(TObject* Obj);

  // Non-virtual operations.
  bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }
  // Appends, or inserts at the sorted position when Sorted.
  int Add(TObject* Obj);
  // Switches Sorted off, then inserts.
  void Insert(int Index, TObject* Obj);
  // Object arguments are found by IndexOf; Sorted is switched off.
  void Exchange(int Index1, int Index2);
  void Exchange(TObject* Obj1, TObject* Obj2);
  void Exchange(int Index1, TObject* Obj2);
  void Exchange(TObject* Obj1, int Index2);
  void Move(int CurIndex, int NewIndex);
  void Move(TObject* CurObj, TObject* NewObj);
  void Move(TObject* CurObj, int NewIndex);
  void Move(int CurIndex, TObject* NewObj);
  bool Contains(const TObject* Obj) const { return IndexOf(Obj) >= 0; }
  // Add unless already contained.
  void Include(TObject* Obj);
  // Delete when contained; nothing otherwise.
  void Exclude(TObject* Obj);
  // DeleteObject, then the entry is removed.
  void Delete(int Index);
  void Delete(TObject* Obj);
  // Copies Duplicates, the Sorted flag and OnCompareObj, then Adds the
  // source's objects; the list is not emptied first; OwnObjects is kept.
  void Assign(const TObjList& Source);

 protected:
  // An index for an object argument; raises SListIndexError (-1) when absent.
  int IndexOfObj(const TObject* Obj) const;

 private:
  bool FOwnObjects;
  TDuplicates FDuplicates;
  bool FSorted;
  TOnCompareObj FOnCompareObj = nullptr;
};

// ---------------------------------------------------------------------------
// TStringList: the plain string list. Each entry is a string with an object
// reference that the list never releases. With Sorted set, Add/AddObject
// insert at the position given by Find; Insert on a sorted list raises
// SSortedListError. Text comparison defaults to AnsiCompareText
// (case-insensitive).
class TStringList : public TObject {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;
  ~TStringList() override = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int Index) const;
  // Raises SSortedListError on a sorted list.
  void SetStrings(int Index, const std::string& S);
  TObject* Objects(int Index) const;
  virtual void SetObjects(int Index, TObject* Obj);

  bool Sorted() const { return FSorted; }
  // Switching on sorts first.
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* Obj);
  virtual void Insert(int Index, const std::string& S);
  virtual void InsertObject(int Index, const std::string& S, TObject* Obj);
  virtual void Delete(int Index);
  virtual void Exchange(int Index1, int Index2);
  // Nothing when equal; raises SSortedListError on a sorted list and
  // SListIndexError for a bad index, both before anything changes.
  virtual void Move(int CurIndex, int NewIndex);
  // Unsorted: the first entry comparing equal, or -1; sorted: Find.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfObject(const TObject* Obj) const;
  // Adds every entry of Source (all or nothing).
  void AddStrings(const TStringList& Source);
  virtual void Clear();
  // Replaces the entries by copies of Source's strings and object references.
  virtual void Assign(const TStringList* Source);
  virtual bool Find(const std::string& S, int& Index) const;
  // Sorts when not Sorted and Count > 1.
  virtual void Sort();

  // The lines joined, each ended by CR LF; and the inverse, which splits at
  // CR LF, LF or CR (a final line end adds no empty line).
  std::string Text() const;
  void SetText(const std::string& Value);

  // Update bracket: notifications are held back until the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  void SetOnChange(std::function<void()> Handler) { FOnChange = std::move(Handler); }
  void SetOnChanging(std::function<void()> Handler) { FOnChanging = std::move(Handler); }

 protected:
  // Change notifications; silent inside an update bracket.
  virtual void Changing();
  virtual void Changed();
  // Text comparison of the base's Find, IndexOf and Sort.
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void IndexError(int Index);
  void CheckIndex(int Index) const;
  // Raw entry access and edits, without checks or notifications.
  struct TStringItem {
    std::string FString;
    TObject* FObject = nullptr;
  };
  TStringItem& Item(int Index) { return FItems[static_cast<size_t>(Index)]; }
  const TStringItem& Item(int Index) const { return FItems[static_cast<size_t>(Index)]; }
  void InsertItem(int Index, const std::string& S, TObject* Obj);
  void ExchangeItems(int Index1, int Index2);
  // Holds an update bracket for a scope, closing it on exceptions too.
  class TUpdateGuard {
   public:
    explicit TUpdateGuard(TStringList& List) : FList(List) { FList.BeginUpdate(); }
    ~TUpdateGuard() { FList.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

   private:
    TStringList& FList;
  };
  // Brings a sorted list back in order after a raw copy.
  void ResortIfNeeded();
  // Quicksort of the entries L..R by Key(entry) under Compare. The scans
  // stay inside the range, so an inconsistent comparison cannot run off
  // it, and only the smaller part is sorted by recursion.
  template <typename TKey, typename TCompare>
  void QuickSortItems(int L, int R, TKey Key, TCompare Compare) {
    while (L < R) {
      int I = L;
      int J = R;
      const auto Pivot = Key(Item((L + R) / 2));
      do {
        while (I < R && Compare(Key(Item(I)), Pivot) < 0) ++I;
        while (J > L && Compare(Key(Item(J)), Pivot) > 0) --J;
        if (I <= J) {
          ExchangeItems(I, J);
          ++I;
          --J;
        }
      } while (I <= J);
      if (J - L < R - I) {
        if (L < J) QuickSortItems(L, J, Key, Compare);
        L = I;
      } else {
        if (I < R) QuickSortItems(I, R, Key, Compare);
        R = J;
      }
    }
  }

 private:
  void QuickSortStrings(int L, int R);

  std::vector<TStringItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  int FUpdateCount = 0;
  std::function<void()> FOnChange;
  std::function<void()> FOnChanging;
};

// ---------------------------------------------------------------------------
// TStrList: a TStringList that may own its entries' objects and whose text
// and object comparisons can be replaced by callbacks.
class TStrList : public TStringList {
 public:
  explicit TStrList(bool AOwnObjects = false, bool ASorted = false, TDuplicates ADuplicates = dupAccept);
  // DeleteObjects, then the base.
  ~TStrList() override;

  bool OwnObjects() const { return FOwnObjects; }
  void SetOwnObjects(bool Value) { FOwnObjects = Value; }
  TOnCompareText OnCompareText() const { return FOnCompareText; }
  // Both setters switch Sorted off first when the list is not empty.
  void SetOnCompareText(TOnCompareText Value);
  TOnCompareObj OnCompareObj() const { return FOnCompareObj; }
  void SetOnCompareObj(TOnCompareObj Value);

  // Overrides of the base.
  // Empties the list and leaves OwnObjects False; copies Duplicates and
  // Sorted, then the strings and object references.
  void Assign(const TStringList* Source) override;
  void Clear() override;
  void Delete(int Index) override;
  int IndexOf(const std::string& S) const override;
  void Move(int CurIndex, int NewIndex) override;
  bool Find(const std::string& S, int& Index) const override;
  void Sort() override;
  // Releases the replaced object when owning.
  void SetObjects(int Index, TObject* Obj) override;

  // Virtual operations, in slot order.
  virtual void QuickSort(int L, int R);
  virtual void QuickSortObj(int L, int R);
  virtual int CompareText(const std::string& S1, const std::string& S2) const;
  virtual int CompareObj(TObject* O1, TObject* O2) const;
  // Assign, then the copy's object references are set to null.
  virtual void AssignStrings(const TStringList* Source);
  // Sorts by CompareObj and switches Sorted off.
  virtual void SortObjects();
  // Release always; the entry stays and holds null.
  virtual void FreeObject(int Index);
  virtual void FreeObject(TObject* Obj);
  virtual void FreeObjects();
  // Release only when owning; the entry stays and holds null.
  virtual void DeleteObject(int Index);
  virtual void DeleteObject(TObject* Obj);
  virtual void DeleteObjects();
  // Removes the entry and hands its object out without releasing it.
  virtual TObject* DeleteString(int Index);

  bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }
  bool Contains(const TObject* Obj) const { return IndexOfObject(Obj) >= 0; }

 protected:
  int CompareStrings(const std::string& S1, const std::string& S2) const override;

 private:
  bool FOwnObjects = false;
  TOnCompareText FOnCompareText = nullptr;
  TOnCompareObj FOnCompareObj = nullptr;
};

}  // namespace vt
