#include "model/VarnObjects.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vt {

// Every live TVarnObject in order of creation. Each object knows its slot, so
// unregistering is constant time; it leaves a hole that a later compaction
// closes. Slots stay ordered by serial, so a reference that may be stale is
// looked up by its serial without touching the object.
class TGlobalVarnList {
 public:
  void Register(TVarnObject* Obj) {
    Obj->FRegistrySlot = FSlots.size();
    FSlots.push_back(TEntry{Obj, Obj->FSerial});
    FLive++;
  }

  bool Unregister(TVarnObject* Obj) {
    size_t Slot = Obj->FRegistrySlot;
    if (Slot >= FSlots.size() || FSlots[Slot].Obj != Obj || FSlots[Slot].Serial != Obj->FSerial) return false;
    FSlots[Slot].Obj = nullptr;
    FLive--;
    if (FSlots.size() > 64 && FLive < FSlots.size() / 2) Compact();
    return true;
  }

  bool IsAlive(const TVarnObject* Obj) const {
    for (const TEntry& E : FSlots)
      if (E.Obj == Obj && Obj != nullptr) return true;
    return false;
  }

  bool IsAlive(const TVarnObject* Obj, std::uint64_t Serial) const {
    auto It = std::lower_bound(FSlots.begin(), FSlots.end(), Serial,
                               [](const TEntry& E, std::uint64_t S) { return E.Serial < S; });
    return Obj != nullptr && It != FSlots.end() && It->Serial == Serial && It->Obj == Obj;
  }

  int Count() const { return static_cast<int>(FLive); }

  TVarnObject* Object(int Index) {
    Compact();
    return FSlots.at(static_cast<size_t>(Index)).Obj;
  }

 private:
  struct TEntry {
    TVarnObject* Obj;
    std::uint64_t Serial;
  };

  void Compact() {
    size_t To = 0;
    for (const TEntry& E : FSlots) {
      if (E.Obj == nullptr) continue;
      E.Obj->FRegistrySlot = To;
      FSlots[To++] = E;
    }
    FSlots.resize(To);
  }

  std::vector<TEntry> FSlots;
  size_t FLive = 0;
};

namespace {

// Never destroyed: objects of other static lifetimes may unregister after
// every destructor of this file has run.
TGlobalVarnList& Registry() {
  static TGlobalVarnList* List = new TGlobalVarnList;
  return *List;
}

void DefaultHandler([[maybe_unused]] const std::string& Message) {
#ifndef NDEBUG
  std::fprintf(stderr, "VarnMod: %s\n", Message.c_str());
#endif
}

VarnRegistry::THandler GHandler = DefaultHandler;
std::uint64_t GNextSerial = 1;

// Library finalisation. The pending objects are reported but not released:
// they may still be owned by another pending object, which would release
// them a second time.
struct TShutdownCheck {
  ~TShutdownCheck() {
    int Pending = Registry().Count();
    if (Pending > 0) VarnRegistry::ReportConsistencyFailure(Fmt(SVarnPending, Pending));
  }
} GShutdownCheck;

}  // namespace

namespace VarnRegistry {

THandler SetConsistencyHandler(THandler Handler) {
  THandler Old = GHandler;
  GHandler = Handler ? Handler : DefaultHandler;
  return Old;
}

void ReportConsistencyFailure(const std::string& Message) {
  GHandler(Message);
}

void Register(TVarnObject* Obj) {
  Registry().Register(Obj);
}

void Unregister(TVarnObject* Obj) {
  if (!Registry().Unregister(Obj)) ReportConsistencyFailure(Fmt(SVarnDestroyed, Obj->ObjectString()));
}

bool IsAlive(const TVarnObject* Obj, std::uint64_t Serial) {
  return Registry().IsAlive(Obj, Serial);
}
bool IsAlive(const TVarnObject* Obj) {
  return Registry().IsAlive(Obj);
}
int Count() {
  return Registry().Count();
}
TVarnObject* Object(int Index) {
  return Registry().Object(Index);
}

}  // namespace VarnRegistry

// ---------------------------------------------------------------------------
// TVarnObject

TVarnObject::TVarnObject() : FSerial(GNextSerial++) {
  VarnRegistry::Register(this);
}

TVarnObject::TVarnObject(const std::string& AName, const std::string& ADescription)
    : FName(AName), FDescription(ADescription), FSerial(GNextSerial++) {
  VarnRegistry::Register(this);
}

TVarnObject::~TVarnObject() {
  VarnRegistry::Unregister(this);
}

std::string TVarnObject::GetName() const {
  return FName;
}
void TVarnObject::SetName(const std::string& Value) {
  FName = Value;
}
std::string TVarnObject::GetDescription() const {
  return FDescription;
}
void TVarnObject::SetDescription(const std::string& Value) {
  FDescription = Value;
}

std::string TVarnObject::ObjectString() const {
  return Fmt(SVarnObjectString, ClassName(), Name());
}

void TVarnObject::AssignObject(const TVarnObject& Source) {
  SetName(Source.Name());
  SetDescription(Source.Description());
}

// ---------------------------------------------------------------------------
// TVarnList

TVarnObject* TVarnList::Objects(int Index) const {
  return static_cast<TVarnObject*>(TObjList::Objects(Index));
}

// An entry left empty by Pull or DeleteObject has an empty name and
// description, and writing them changes nothing.
std::string TVarnList::Names(int Index) const {
  const TVarnObject* Obj = Objects(Index);
  return Obj != nullptr ? Obj->Name() : std::string();
}
void TVarnList::SetNames(int Index, const std::string& Value) {
  if (TVarnObject* Obj = Objects(Index)) Obj->SetName(Value);
}
std::string TVarnList::Descriptions(int Index) const {
  const TVarnObject* Obj = Objects(Index);
  return Obj != nullptr ? Obj->Description() : std::string();
}
void TVarnList::SetDescriptions(int Index, const std::string& Value) {
  if (TVarnObject* Obj = Objects(Index)) Obj->SetDescription(Value);
}

void TVarnList::ValidateIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EVarnIndexError(Fmt(SVarnIndexError, Index, Count() - 1));
}

namespace {

template <typename TextOf>
void FillStrings(const TVarnList& List, TStringList& Target, bool Append, TextOf Text) {
  if (!Append) Target.Clear();
  for (int I = 0; I < List.Count(); I++) {
    TVarnObject* Obj = List.Objects(I);
    Target.AddObject(Obj != nullptr ? Text(Obj) : std::string(), Obj);
  }
}

}  // namespace

void TVarnList::GetNameStrings(TStringList& Target, bool Append) const {
  FillStrings(*this, Target, Append, [](TVarnObject* O) { return O->Name(); });
}

void TVarnList::GetDescriptionStrings(TStringList& Target, bool Append) const {
  FillStrings(*this, Target, Append, [](TVarnObject* O) { return O->Description(); });
}

void TVarnList::GetObjectStrings(TStringList& Target, bool Append) const {
  FillStrings(*this, Target, Append, [](TVarnObject* O) { return O->ObjectString(); });
}

TVarnObject* TVarnList::ObjectByName(const std::string& AName) const {
  for (int I = 0; I < Count(); I++) {
    TVarnObject* Obj = Objects(I);
    if (Obj != nullptr && Obj->Name() == AName) return Obj;
  }
  return nullptr;
}

}  // namespace vt
