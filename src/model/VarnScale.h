// Value scales: the direction of preference, the bad and good categories,
// comparisons of scale points, and the discrete scale of named values.
#pragma once

#include <memory>
#include <string>

#include "model/VarnObjects.h"

namespace vt {

// One named value of a discrete scale.
class TVarnScaleValue : public TVarnObject {
 public:
  explicit TVarnScaleValue(const std::string& AName = "", const std::string& ADescription = "");
};

class TVarnScaleValueList : public TVarnList {
 public:
  using TVarnList::TVarnList;
  TVarnScaleValue* Objects(int Index) const override;
};

class TVarnScale : public TVarnObject {
 public:
  TVarnScale();

  // Virtual operations, in slot order after those of TVarnObject.
  virtual int GetCount() const = 0;
  virtual int GetLow() const;
  virtual int GetHigh() const;
  virtual double GetLowFloat() const;
  virtual double GetHighFloat() const;
  virtual double GetBad() const;
  virtual void SetBad(double Value);
  virtual double GetGood() const;
  virtual void SetGood(double Value);
  virtual std::string GetScaleString() const;
  // Not null, same Order and Count, exactly equal LowFloat and HighFloat.
  virtual bool Compatible(const TVarnScale* Other) const;
  // Compatible, same unit, FloatEqual category bounds.
  virtual bool Equal(const TVarnScale* Other) const;
  // Copies Order, ScaleUnit, BGLow, BGHigh and Interval.
  virtual void AssignScale(const TVarnScale* Other);

  // Properties.
  TVarnOrder Order() const { return FOrder; }
  void SetOrder(TVarnOrder Value) { FOrder = Value; }
  bool IsOrdered() const { return FOrder != ordNone; }
  bool IsReverse() const { return FOrder == ordDescending; }
  bool IsInterval() const { return FInterval; }
  void SetInterval(bool Value) { FInterval = Value; }
  const std::string& ScaleUnit() const { return FScaleUnit; }
  void SetScaleUnit(const std::string& Value) { FScaleUnit = Value; }
  int Count() const { return GetCount(); }
  int Low() const { return GetLow(); }
  int High() const { return GetHigh(); }
  double LowFloat() const { return GetLowFloat(); }
  double HighFloat() const { return GetHighFloat(); }
  double BGLow() const { return FBGLow; }
  double BGHigh() const { return FBGHigh; }
  double Bad() const { return GetBad(); }
  double Good() const { return GetGood(); }
  std::string ScaleString() const { return GetScaleString(); }

  // BGLow and BGHigh back to their values after creation: no bad and no good
  // values.
  void ResetCategories();

  // Comparisons of scale points by the direction of preference.
  bool IsBetter(double A, double B) const;
  bool IsBetter(int A, int B) const;
  bool IsWorse(double A, double B) const;
  bool IsWorse(int A, int B) const;
  bool IsBetterEq(double A, double B) const;
  bool IsBetterEq(int A, int B) const;
  bool IsWorseEq(double A, double B) const;
  bool IsWorseEq(int A, int B) const;
  bool IsBad(double X) const;
  bool IsGood(double X) const;

  bool InBounds(double X) const;
  bool InBounds(int I) const;
  double IntoBounds(double X) const;
  int IntoBounds(int I) const;

 protected:
  TVarnOrder FOrder = ordAscending;
  std::string FScaleUnit;
  double FBGLow;
  double FBGHigh;
  bool FInterval = true;
};

class TVarnDiscreteScale : public TVarnScale {
 public:
  TVarnDiscreteScale();
  ~TVarnDiscreteScale() override;

  int GetCount() const override;
  std::string GetScaleString() const override;
  // TVarnScale::Equal and, value by value, the same names and descriptions.
  bool Equal(const TVarnScale* Other) const override;
  // Also appends copies of the other scale's values; existing values stay.
  void AssignScale(const TVarnScale* Other) override;

  TVarnScaleValueList& Values() const { return *FValues; }
  std::string Names(int Index) const { return FValues->Names(Index); }
  void SetNames(int Index, const std::string& Value) { FValues->SetNames(Index, Value); }
  std::string Descriptions(int Index) const { return FValues->Descriptions(Index); }
  void SetDescriptions(int Index, const std::string& Value) { FValues->SetDescriptions(Index, Value); }

  void AddValue(const std::string& AName, const std::string& ADescription = "");
  void InsertValue(int Index, const std::string& AName, const std::string& ADescription = "");
  void DeleteValue(int Index);
  void MoveUp(int Index);
  void MoveDown(int Index);
  // Ordered with more than one value: the lowest value bad and the highest
  // good; otherwise no categories.
  void DefaultCategory();
  int CountBads() const;
  int CountGoods() const;
  void GetNameStrings(TStringList& Target, bool Append = false) const;
  void GetDescriptionStrings(TStringList& Target, bool Append = false) const;

 private:
  void AdjustAfterInsert(int V);
  void AdjustAfterDelete(int V);

  std::unique_ptr<TVarnScaleValueList> FValues;
};

}  // namespace vt
