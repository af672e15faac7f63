// Small builders shared by the model tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Utils.h"
#include "model/VarnMod.h"

namespace vt::test {

// A discrete scale with these value names, categories as AddValue leaves them.
inline TVarnDiscreteScale* MakeScale(std::initializer_list<const char*> Names,
                                     TVarnOrder Order = ordAscending) {
  auto* S = new TVarnDiscreteScale;
  S->SetOrder(Order);
  for (const char* N : Names) S->AddValue(N, "");
  return S;
}

inline TVarnDiscreteScale* MakeScale(int Count) {
  auto* S = new TVarnDiscreteScale;
  for (int I = 0; I < Count; I++) S->AddValue("v" + std::to_string(I), "");
  return S;
}

// An attribute with a scale of Count values (no scale when Count is 0),
// appended to Parent when given.
inline TVarnAttribute* MakeAttr(const std::string& Name, int Count, TVarnAttribute* Parent = nullptr) {
  auto* A = new TVarnAttribute(Name);
  if (Count > 0) A->SetScale(MakeScale(Count));
  if (Parent != nullptr) Parent->AddAttribute(A);
  return A;
}

// Rule K of the function's table, as text.
inline std::string Rule(const TVarnFunction& F, int K) {
  return Utf32ToUtf8(F.List()[static_cast<size_t>(K)]);
}

// Fails the test when the registry does not return to its count at
// construction.
class RegistryCheck {
 public:
  RegistryCheck() : FCount(VarnRegistry::Count()) {}
  ~RegistryCheck() { EXPECT_EQ(VarnRegistry::Count(), FCount) << "model objects left alive"; }

 private:
  int FCount;
};

template <typename F>
std::string ErrorOf(F&& Fn) {
  try {
    Fn();
  } catch (const std::exception& E) {
    return E.what();
  }
  return "(no exception)";
}

}  // namespace vt::test
