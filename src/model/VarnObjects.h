// Foundation of the model library: the base of every named model object, the
// registry that watches their life and death, the typed lists that hold them,
// and the library's exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/Base.h"
#include "foundation/Lists.h"

namespace vt {

// Messages of the model library.
inline constexpr const char* SVarnObjectString = "Class=\"%s\", Name=\"%s\"";
inline constexpr const char* SVarnIndexError = "List index \"%d\" is out of bounds [0,%d]";
inline constexpr const char* SVarnDestroyed = "Trying to destroy an already destroyed object \"%s\"";
inline constexpr const char* SVarnPending = "%d pending objects upon exit";
inline constexpr const char* SVarnUnknownFormat = "Nepoznan format datoteke \"%s\"";
// An attribute that became an input of itself or of one of its inputs would
// make the tree a cycle.
inline constexpr const char* SVarnCyclicInput =
    "Attribute \"%s\" cannot become an input of itself or of one of its inputs";

class TGlobalVarnList;

class EVarnError : public Exception {
 public:
  using Exception::Exception;
};

class EVarnIndexError : public EVarnError {
 public:
  using EVarnError::EVarnError;
};

// Direction of preference of a scale's values.
enum TVarnOrder { ordNone, ordAscending, ordDescending };

// Base of every named model object. Every object is in the registry from its
// construction to its destruction.
class TVarnObject : public TObject {
 public:
  TVarnObject();
  explicit TVarnObject(const std::string& AName, const std::string& ADescription = "");
  TVarnObject(const TVarnObject&) = delete;
  TVarnObject& operator=(const TVarnObject&) = delete;
  ~TVarnObject() override;

  // Virtual operations, in slot order.
  virtual std::string GetName() const;
  virtual void SetName(const std::string& Value);
  virtual std::string GetDescription() const;
  virtual void SetDescription(const std::string& Value);

  std::string Name() const { return GetName(); }
  std::string Description() const { return GetDescription(); }

  // The run-time class name, as ObjectString shows it. Kept in a field so that
  // it is still right while the object is being destroyed.
  const char* ClassName() const { return FClassName; }
  std::string ObjectString() const;
  void AssignObject(const TVarnObject& Source);

  // Number of this object in the order of creation; never reused, so that a
  // stale reference can be told from a new object at the same address.
  std::uint64_t Serial() const { return FSerial; }

 protected:
  // Set by the constructor of every subclass.
  const char* FClassName = "TVarnObject";

 private:
  friend class TGlobalVarnList;

  std::string FName;
  std::string FDescription;
  std::uint64_t FSerial;
  // Position in the registry, kept up to date by the registry.
  size_t FRegistrySlot = 0;
};

// A TObjList of TVarnObject. Entries of another class are an error of the
// caller.
class TVarnList : public TObjList {
 public:
  using TObjList::TObjList;

  TVarnObject* Objects(int Index) const override;
  std::string Names(int Index) const;
  void SetNames(int Index, const std::string& Value);
  std::string Descriptions(int Index) const;
  void SetDescriptions(int Index, const std::string& Value);

  // Raises EVarnIndexError unless 0 <= Index < Count.
  void ValidateIndex(int Index) const;
  // Unless Append, the target is cleared first; then every entry's text is
  // added with the entry as the string's object. Empty entries (left by Pull
  // or DeleteObject) give empty texts.
  void GetNameStrings(TStringList& Target, bool Append = false) const;
  void GetDescriptionStrings(TStringList& Target, bool Append = false) const;
  void GetObjectStrings(TStringList& Target, bool Append = false) const;
  // The first entry with exactly this name (case-sensitive), or null.
  TVarnObject* ObjectByName(const std::string& AName) const;
};

// The registry of live model objects. It is private to the library; tests and
// the model's DefaultScale use it through these functions.
namespace VarnRegistry {

// How an internal consistency failure is reported. The default handler
// writes the message to standard error in debug builds and ignores it in
// release builds; it never aborts.
using THandler = void (*)(const std::string& Message);
THandler SetConsistencyHandler(THandler Handler);
void ReportConsistencyFailure(const std::string& Message);

void Register(TVarnObject* Obj);
// Reports SVarnDestroyed when the object is not registered.
void Unregister(TVarnObject* Obj);
// Whether the object at this address is still the one created with Serial.
bool IsAlive(const TVarnObject* Obj, std::uint64_t Serial);
bool IsAlive(const TVarnObject* Obj);
// Number of live objects, and the live object at a position in order of
// creation.
int Count();
TVarnObject* Object(int Index);

}  // namespace VarnRegistry

}  // namespace vt
