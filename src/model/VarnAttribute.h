// Attributes (the criteria of a model) and their aggregation functions.
#pragma once

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/XUtils.h"
#include "model/VarnScale.h"

namespace vt {

class TVarnAttribute;
class TVarnFunction;

// Rule tables larger than this are never built: a function of an attribute
// whose inputs' scale sizes multiply to more rules is attached without rules,
// as if the attribute could not have a function. A million rules of short
// strings take some tens of megabytes.
inline constexpr int VarnMaxFunctionRules = 1000000;

class TVarnAttributeList;

// One rule of a function: a value index v is the character 48 + v. Held as
// code points so that any scale size is exact.
using TVarnRule = std::u32string;
using TVarnRuleList = std::vector<TVarnRule>;

class TVarnFunction : public TVarnObject {
 public:
  TVarnFunction();
  ~TVarnFunction() override;

  // Attribute not null and it may have a function whose rule table is not
  // larger than VarnMaxFunctionRules.
  bool CanSetAttribute(const TVarnAttribute* AAttribute) const;
  // Builds all rules with the whole scale as value, not entered, and sizes
  // the weights; without a suitable attribute the function has no rules.
  void SetAttribute(TVarnAttribute* AAttribute);
  void AssignFunction(const TVarnFunction& Other);

  TVarnAttribute* Attribute() const { return FAttribute; }
  int Count() const { return static_cast<int>(FList.size()); }
  int ArgCount() const;
  int EntCount() const;
  TVarnRuleList& List() { return FList; }
  const TVarnRuleList& List() const { return FList; }

  // Rule accessors; Arg and Rule are 0-based.
  int ArgVal(int Arg, int Rule) const;
  int RuleValLow(int Rule) const;
  void SetRuleValLow(int Rule, int Value);
  int RuleValHigh(int Rule) const;
  void SetRuleValHigh(int Rule, int Value);
  void SetRuleVal(int Rule, int Value);
  bool RuleEntered(int Rule) const;
  void SetRuleEntered(int Rule, bool Value);

  bool UseWeights() const { return FUseWeights; }
  void SetUseWeights(bool Value) { FUseWeights = Value; }
  bool UseConsist() const { return FUseConsist; }
  void SetUseConsist(bool Value) { FUseConsist = Value; }
  int Rounding() const { return FRounding; }
  void SetRounding(int Value) { FRounding = Value; }
  double FunctK() const { return FFunctK; }
  void SetFunctK(double Value) { FFunctK = Value; }
  double FunctN() const { return FFunctN; }
  void SetFunctN(double Value) { FFunctN = Value; }
  int KNState() const { return FKNState; }
  void SetKNState(int Value) { FKNState = Value; }
  int CstState() const { return FCstState; }
  void SetCstState(int Value) { FCstState = Value; }
  bool RecalcWeights() const { return FRecalcWeights; }
  void SetRecalcWeights(bool Value) { FRecalcWeights = Value; }
  floatarray& WeightFactors() { return FWeightFactors; }
  floatarray& ActualWeights() { return FActualWeights; }
  floatarray& NormActualWeights() { return FNormActualWeights; }
  floatarray& RequiredWeights() { return FRequiredWeights; }
  const floatarray& WeightFactors() const { return FWeightFactors; }
  const floatarray& ActualWeights() const { return FActualWeights; }
  const floatarray& NormActualWeights() const { return FNormActualWeights; }
  const floatarray& RequiredWeights() const { return FRequiredWeights; }

 private:
  int Position(int Rule, int Offset) const;

  TVarnAttribute* FAttribute = nullptr;
  TVarnRuleList FList;
  bool FUseWeights = false;
  bool FUseConsist = true;
  int FRounding = 0;
  double FFunctK = 0;
  double FFunctN = 0;
  int FKNState = 0;
  int FCstState = 0;
  bool FRecalcWeights = false;
  floatarray FWeightFactors;
  floatarray FActualWeights;
  floatarray FNormActualWeights;
  floatarray FRequiredWeights;
};

// Scales every element by S / sum, unless the sum is within FloatTolerance of 0.
void NormalizeFloatArray(floatarray& A, double S);

class TVarnAttribute : public TVarnObject {
 public:
  using TCondition = std::function<bool(const TVarnAttribute*)>;

  explicit TVarnAttribute(const std::string& AName = "", const std::string& ADescription = "");
  ~TVarnAttribute() override;

  // Releases the inputs with their subtrees, the function and the scale, and
  // empties Options. Subtrees of any depth are released without recursion.
  // Links between the released inputs and the rest of the tree are cleared,
  // here and wherever inputs are deleted or removed.
  void Clear();
  // Appends (and adopts) an input; nothing for null. An input of another
  // attribute is taken out of that one first; an attribute cannot become an
  // input of itself or of its own inputs (EVarnError).
  void AddAttribute(TVarnAttribute* AAttribute);
  int InpIndex(const TVarnAttribute* AAttribute) const;
  // Other is an ancestor of this attribute.
  bool Affects(const TVarnAttribute* Other) const;
  // This attribute is an ancestor of Other.
  bool Depends(const TVarnAttribute* Other) const;
  // Every descendant depth-first, each before its inputs, that meets the
  // condition (all when there is none). The target is cleared first and
  // does not own what it receives.
  void CollectInputs(TVarnAttributeList& Target, const TCondition& Condition = nullptr) const;
  void CollectBasic(TVarnAttributeList& Target) const;
  void CollectNonLinkedBasic(TVarnAttributeList& Target) const;
  // Releases the function and all inputs.
  void DeleteChildren();
  void DeleteChild(int Index);
  void DeleteChild(TVarnAttribute* AAttribute);
  // Takes an input out without releasing it; its Parent becomes null.
  TVarnAttribute* RemoveChild(int Index);
  TVarnAttribute* RemoveChild(TVarnAttribute* AAttribute);
  void MoveChildUp(int Index);
  void MoveChildUp(TVarnAttribute* AAttribute);
  void MoveChildDown(int Index);
  void MoveChildDown(TVarnAttribute* AAttribute);
  bool AffectsFunction() const;
  bool CanCreateFunction() const;
  bool CanUseWeights() const;
  // -1 when no function is possible; the product of the inputs' scale sizes,
  // INT_MAX when that overflows.
  int FunctionSize() const;
  void FreeFunctions();

  // Option values: one text per model option.
  std::string OptVal(int Option) const;
  void SetOptVal(int Option, const std::string& Value);
  // The value index of the option's text (its first character - 48), or -1.
  int OptValue(int Option) const;
  void SetOptValue(int Option, int Value);
  void InsertOption(int Option);
  void DeleteOption(int Option);

  // Properties.
  int InpCount() const;
  TVarnAttribute* Inputs(int Index) const;
  TVarnAttribute* Parent() const { return FParent; }
  TVarnAttribute* Link() const { return FLink; }
  void SetLink(TVarnAttribute* Value) { FLink = Value; }
  int Level() const;
  TVarnAttribute* Right() const;
  bool IsBasic() const { return InpCount() == 0; }
  bool IsAggregate() const { return !IsBasic(); }
  bool IsRoot() const { return FParent == nullptr; }
  TVarnFunction* Funct() const { return FFunct.get(); }
  // Adopts the function; the previous one is released.
  void SetFunct(TVarnFunction* Value);
  TVarnScale* Scale() const { return FScale.get(); }
  // Adopts the scale; the previous one is released.
  void SetScale(TVarnScale* Value);
  std::string ParentPath() const;
  TStringList& Options() { return *FOptions; }
  const TStringList& Options() const { return *FOptions; }

 private:
  static void ReleaseSubtrees(std::unique_ptr<TVarnAttributeList> List);
  // Clear without touching links.
  void Release();
  void ReleaseEmptyInputs();

  std::unique_ptr<TVarnAttributeList> FInputs;
  TVarnAttribute* FParent = nullptr;
  TVarnAttribute* FLink = nullptr;
  std::unique_ptr<TVarnScale> FScale;
  std::unique_ptr<TVarnFunction> FFunct;
  std::unique_ptr<TStringList> FOptions;
};

class TVarnAttributeList : public TVarnList {
 public:
  using TVarnList::TVarnList;
  TVarnAttribute* Objects(int Index) const override;
};

}  // namespace vt
