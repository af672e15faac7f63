#include "layout/DualQP.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace vt {
namespace {

// A problem written with its constraints as columns, as they are read.
struct TProblem {
  TQPMatrix G;
  std::vector<TFloatArray> inequalities;  // columns of CI
  std::vector<TFloatArray> equalities;    // columns of CE
  TFloatArray g0;
  TFloatArray ci0;
  TFloatArray ce0;
};

struct TSolution {
  bool feasible = false;
  double f = 0;
  TFloatArray x;
  TFloatArray u;
  TIntArray A;
  int iq = -1;
  TQPMatrix G;  // as SolveQP left it
};

TQPMatrix FromColumns(const std::vector<TFloatArray>& AColumns, std::size_t ARows) {
  TQPMatrix m(ARows, TFloatArray(AColumns.size(), 0.0));
  for (std::size_t j = 0; j < AColumns.size(); ++j)
    for (std::size_t i = 0; i < ARows; ++i) m[i][j] = AColumns[j][i];
  return m;
}

TSolution Solve(const TProblem& P) {
  TSolution s;
  s.G = P.G;
  const TQPMatrix CI = FromColumns(P.inequalities, P.g0.size());
  const TQPMatrix CE = FromColumns(P.equalities, P.g0.size());
  s.feasible = SolveQP(s.G, CI, CE, P.g0, P.ci0, P.ce0, s.f, s.x, s.u, s.A, s.iq);
  return s;
}

std::string SolveError(TProblem P, TQPMatrix CI, TQPMatrix CE) {
  double f = 0;
  TFloatArray x, u;
  TIntArray A;
  int iq = 0;
  try {
    SolveQP(P.G, CI, CE, P.g0, P.ci0, P.ce0, f, x, u, A, iq);
  } catch (const EQPError& e) {
    return e.what();
  }
  return "<no error>";
}

std::string SolveError(const TProblem& P) {
  return SolveError(P, FromColumns(P.inequalities, P.g0.size()), FromColumns(P.equalities, P.g0.size()));
}

void ExpectNear(const TFloatArray& AActual, const TFloatArray& AExpected, double ATolerance = 1e-12) {
  ASSERT_EQ(AActual.size(), AExpected.size());
  for (std::size_t i = 0; i < AActual.size(); ++i)
    EXPECT_NEAR(AActual[i], AExpected[i], ATolerance) << "element " << i;
}

// Minimise x0^2 + x1^2 - 2 x0 - 4 x1.
TProblem Paraboloid() {
  TProblem p;
  p.G = {{2, 0}, {0, 2}};
  p.g0 = {-2, -4};
  return p;
}

TEST(SolveQP, OneActiveInequality) {
  TProblem p = Paraboloid();
  p.inequalities = {{1, 1}};
  p.ci0 = {-4};
  const TSolution s = Solve(p);
  EXPECT_TRUE(s.feasible);
  ExpectNear(s.x, {1.5, 2.5});
  EXPECT_NEAR(s.f, -4.5, 1e-12);
  EXPECT_EQ(s.iq, 1);
  EXPECT_EQ(s.A, (TIntArray{1}));
  ExpectNear(s.u, {1});
}

TEST(SolveQP, EqualityThenInequality) {
  TProblem p = Paraboloid();
  p.equalities = {{1, -1}};
  p.ce0 = {0};
  p.inequalities = {{1, 0}};
  p.ci0 = {-3};
  const TSolution s = Solve(p);
  EXPECT_TRUE(s.feasible);
  ExpectNear(s.x, {3, 3});
  EXPECT_NEAR(s.f, 0, 1e-12);
  EXPECT_EQ(s.iq, 2);
  EXPECT_EQ(s.A, (TIntArray{-1, 1}));
  // G x + g0 = (4, 2) = -2 (1, -1) + 6 (1, 0).
  ExpectNear(s.u, {-2, 6});
}

TEST(SolveQP, WithoutConstraintsGivesTheUnconstrainedMinimum) {
  TProblem p;
  p.G = {{4, 1, 0}, {1, 3, 1}, {0, 1, 2}};
  p.g0 = {1, -2, 3};
  const TSolution s = Solve(p);
  EXPECT_TRUE(s.feasible);
  EXPECT_EQ(s.iq, 0);
  EXPECT_TRUE(s.u.empty());
  EXPECT_TRUE(s.A.empty());
  // G x = -g0.
  for (std::size_t i = 0; i < 3; ++i) {
    double gx = 0;
    for (std::size_t j = 0; j < 3; ++j) gx += p.G[i][j] * s.x[j];
    EXPECT_NEAR(gx, -p.g0[i], 1e-12);
  }
  EXPECT_NEAR(s.f, 0.5 * DotProduct(p.g0, s.x), 1e-12);
}

TEST(SolveQP, SatisfiedInequalityStaysInactive) {
  TProblem p = Paraboloid();
  p.inequalities = {{1, 0}};
  p.ci0 = {0};  // x0 >= 0 holds at (1, 2)
  const TSolution s = Solve(p);
  ExpectNear(s.x, {1, 2});
  EXPECT_EQ(s.iq, 0);
  EXPECT_EQ(s.A, (TIntArray{0}));
  EXPECT_EQ(s.u, (TFloatArray{0}));
}

// Minimise |x|^2 subject to 2 x0 + 2 x1 >= 10 and x1 >= 6. The first is the
// more violated at 0 and enters first; the second then makes its multiplier
// negative, so it leaves again and only the second stays active.
TEST(SolveQP, ConstraintLeavesWhenItsMultiplierTurnsNegative) {
  TProblem p;
  p.G = {{2, 0}, {0, 2}};
  p.g0 = {0, 0};
  p.inequalities = {{2, 2}, {0, 1}};
  p.ci0 = {-10, -6};
  std::vector<std::string> trace;
  QPTrace = [&](const std::string& ALine) { trace.push_back(ALine); };
  const TSolution s = Solve(p);
  QPTrace = nullptr;
  EXPECT_TRUE(s.feasible);
  ExpectNear(s.x, {0, 6});
  EXPECT_NEAR(s.f, 36, 1e-12);
  EXPECT_EQ(s.iq, 1);
  EXPECT_EQ(s.A, (TIntArray{2, 0}));
  ExpectNear(s.u, {12, 0});
  EXPECT_NE(std::find(trace.begin(), trace.end(), "Deleting restriction 1"), trace.end());
}

// x >= 1 and x <= 0 cannot both hold: the solve stops at x = 1 with the first
// constraint active and says so.
TEST(SolveQP, InfeasibleProblemStopsAtTheLastPoint) {
  TProblem p;
  p.G = {{2}};
  p.g0 = {0};
  p.inequalities = {{1}, {-1}};
  p.ci0 = {-1, 0};
  const TSolution s = Solve(p);
  EXPECT_FALSE(s.feasible);
  ExpectNear(s.x, {1});
  EXPECT_NEAR(s.f, 1, 1e-12);
  EXPECT_EQ(s.iq, 1);
  // The constraint that could not enter is not reported as active.
  EXPECT_EQ(s.A, (TIntArray{1, 0}));
  ExpectNear(s.u, {2, 0});
}

TEST(SolveQP, LeavesTheCholeskyFactorInTheUpperTriangle) {
  TProblem p;
  p.G = {{4, 2}, {2, 3}};
  p.g0 = {0, 0};
  const TSolution s = Solve(p);
  ExpectNear(s.G[0], {2, 1});
  ExpectNear(s.G[1], {2, std::sqrt(2.0)});
}

TEST(SolveQP, Failures) {
  TProblem paraboloid = Paraboloid();
  paraboloid.inequalities = {{1, 1}};
  paraboloid.ci0 = {-4};

  TProblem nullHessian = paraboloid;
  nullHessian.g0.clear();
  EXPECT_EQ(SolveError(nullHessian, {{1}, {1}}, {{}, {}}), "Null Hessian matrix");

  TProblem wrongG = paraboloid;
  wrongG.G = {{2, 0, 0}, {0, 2, 0}, {0, 0, 2}};
  EXPECT_EQ(SolveError(wrongG, {{1}}, {{}, {}}), "Invalid dimension of matrix \"G\": [3,3] (expected [2,2])");
  EXPECT_EQ(SolveError(paraboloid, {{1}, {}}, {{}, {}}),
            "Invalid dimension of matrix \"CI\": [2,0] (expected [2,1])");
  EXPECT_EQ(SolveError(paraboloid, {{1}, {1}}, {{}}),
            "Invalid dimension of matrix \"CE\": [1,0] (expected [2,0])");

  TProblem indefinite = paraboloid;
  indefinite.G = {{1, 2}, {2, 1}};
  EXPECT_EQ(SolveError(indefinite), "The Hessian matrix is not positive definite");
  TProblem notANumber = paraboloid;
  notANumber.G[1][1] = std::nan("");
  EXPECT_EQ(SolveError(notANumber), "The Hessian matrix is not positive definite");

  TProblem sameEqualityTwice = paraboloid;
  sameEqualityTwice.equalities = {{1, -1}, {1, -1}};
  sameEqualityTwice.ce0 = {0, 0};
  EXPECT_EQ(SolveError(sameEqualityTwice), "Problem is degenerate");

  TProblem moreEqualitiesThanVariables = paraboloid;
  moreEqualitiesThanVariables.equalities = {{1, 0}, {0, 1}, {1, 1}};
  moreEqualitiesThanVariables.ce0 = {0, 0, 0};
  EXPECT_EQ(SolveError(moreEqualitiesThanVariables), "Problem is degenerate");
}

// --- Seeded random problems, checked by the optimality conditions ----------

struct TRandomProblem {
  TProblem problem;
  TFloatArray feasiblePoint;
};

// A strictly convex problem with a known feasible point; about half of the
// inequalities pass through that point, the others leave it some room.
TRandomProblem RandomProblem(std::mt19937& ARandom, std::size_t n, std::size_t mE, std::size_t mI) {
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  TRandomProblem rp;
  TProblem& p = rp.problem;
  TQPMatrix M(n, TFloatArray(n));
  for (auto& row : M)
    for (double& v : row) v = value(ARandom);
  p.G.assign(n, TFloatArray(n, 0.0));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      for (std::size_t k = 0; k < n; ++k) p.G[i][j] += M[k][i] * M[k][j];
      if (i == j) p.G[i][j] += 0.5;
    }
  p.g0.resize(n);
  for (double& v : p.g0) v = 5.0 * value(ARandom);
  rp.feasiblePoint.resize(n);
  for (double& v : rp.feasiblePoint) v = value(ARandom);
  auto column = [&] {
    TFloatArray c(n);
    for (double& v : c) v = value(ARandom);
    return c;
  };
  for (std::size_t j = 0; j < mE; ++j) {
    p.equalities.push_back(column());
    p.ce0.push_back(-DotProduct(p.equalities.back(), rp.feasiblePoint));
  }
  for (std::size_t j = 0; j < mI; ++j) {
    p.inequalities.push_back(column());
    const double slack = j % 2 == 0 ? 0.0 : 0.5 * (value(ARandom) + 1.0);
    p.ci0.push_back(slack - DotProduct(p.inequalities.back(), rp.feasiblePoint));
  }
  return rp;
}

// Karush-Kuhn-Tucker conditions: feasible, G x + g0 = CE uE + CI uI with
// uI >= 0 on active inequalities only, and the reported objective value.
void ExpectOptimal(const TProblem& P, const TSolution& S) {
  const std::size_t n = P.g0.size();
  const std::size_t mE = P.equalities.size();
  ASSERT_TRUE(S.feasible);
  ASSERT_EQ(S.x.size(), n);
  for (std::size_t j = 0; j < mE; ++j)
    EXPECT_NEAR(DotProduct(P.equalities[j], S.x) + P.ce0[j], 0.0, 1e-9) << "equality " << j;
  for (std::size_t j = 0; j < P.inequalities.size(); ++j)
    EXPECT_GE(DotProduct(P.inequalities[j], S.x) + P.ci0[j], -1e-9) << "inequality " << j;

  TFloatArray residual(n);
  double objective = DotProduct(P.g0, S.x);
  for (std::size_t i = 0; i < n; ++i) {
    const double gx = DotProduct(P.G[i], S.x);
    objective += 0.5 * S.x[i] * gx;
    residual[i] = gx + P.g0[i];
  }
  EXPECT_NEAR(S.f, objective, 1e-9 * std::max(1.0, std::fabs(objective)));
  ASSERT_GE(S.iq, static_cast<int>(mE));
  for (int k = 0; k < S.iq; ++k) {
    const TFloatArray& column = k < static_cast<int>(mE)
                                    ? P.equalities[static_cast<std::size_t>(k)]
                                    : P.inequalities[static_cast<std::size_t>(S.A[k] - 1)];
    if (k < static_cast<int>(mE)) {
      EXPECT_EQ(S.A[k], -1);
    } else {
      EXPECT_GE(S.u[k], -1e-9) << "multiplier " << k;
      EXPECT_NEAR(DotProduct(column, S.x) + P.ci0[static_cast<std::size_t>(S.A[k] - 1)], 0.0, 1e-9);
    }
    for (std::size_t i = 0; i < n; ++i) residual[i] -= S.u[k] * column[i];
  }
  for (std::size_t k = static_cast<std::size_t>(S.iq); k < S.A.size(); ++k) {
    EXPECT_EQ(S.A[k], 0);
    EXPECT_EQ(S.u[k], 0.0);
  }
  for (std::size_t i = 0; i < n; ++i) EXPECT_NEAR(residual[i], 0.0, 1e-8) << "gradient " << i;
}

TEST(SolveQP, SeededRandomProblemsMeetTheOptimalityConditions) {
  // Count the kinds of step so that the rounds are known to reach them all.
  int partialSteps = 0;
  int dualSteps = 0;
  int deletions = 0;
  QPTrace = [&](const std::string& ALine) {
    partialSteps += ALine == "Partial step";
    dualSteps += ALine == "Partial step in the duals only";
    deletions += ALine.rfind("Deleting restriction ", 0) == 0;
  };
  std::mt19937 random(20261210);
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = 1 + random() % 12;
    const std::size_t mE = random() % n;
    const std::size_t mI = random() % (3 * n + 1);
    const TRandomProblem rp = RandomProblem(random, n, mE, mI);
    SCOPED_TRACE(testing::Message() << "round " << round << ": n " << n << ", mE " << mE << ", mI " << mI);
    ExpectOptimal(rp.problem, Solve(rp.problem));
    if (testing::Test::HasFailure()) break;
  }
  QPTrace = nullptr;
  EXPECT_GT(partialSteps, 0);
  EXPECT_GT(dualSteps, 0);
  EXPECT_EQ(deletions, partialSteps + dualSteps);
}

TEST(SolveQP, LargerRandomProblem) {
  std::mt19937 random(7);
  const TRandomProblem rp = RandomProblem(random, 60, 20, 150);
  ExpectOptimal(rp.problem, Solve(rp.problem));
}

// --- Trace ------------------------------------------------------------------

class SolveQPTrace : public testing::Test {
 protected:
  void SetUp() override {
    QPTrace = [this](const std::string& ALine) { FLines.push_back(ALine); };
  }
  void TearDown() override {
    QPTrace = nullptr;
    QPIndexFormat = "%10d. ";
    QPFloatFormat = " %9.2g";
    QPIntFormat = " %9d";
  }
  std::vector<std::string> FLines;
};

// Minimise x^2 / 2 - x subject to x >= 2: one step, the whole trace.
TEST_F(SolveQPTrace, ReportsEveryStep) {
  QPIndexFormat = "%d.";
  QPFloatFormat = " %g";
  TProblem p;
  p.G = {{1}};
  p.g0 = {-1};
  p.inequalities = {{1}};
  p.ci0 = {-2};
  const TSolution s = Solve(p);
  EXPECT_EQ(s.x, (TFloatArray{2}));
  // clang-format off
  const std::vector<std::string> expected = {
      "", "Unconstrained solution", "0. 1",
      "", std::string(50, '='), "", "Vector g[x]", "0. -1", "Sum of infeasibilities:  -1",
      "", "Introduce restriction p=1", "", "Working set", "0.         1", "", "Gradient", "0. 1",
      "", std::string(50, '-'), "", "Vector d", "0. 1", "", "Primal correction z", "0. 1",
      "", "Stepsizes:  1e+20 1",
      "", "Current solution", "0. 2", "Function value:  0",
      "", "Adding new restriction", "", "Matrix R", "0. 1", "", "Matrix XJ", "0. 1",
      "", "Full step", "", "Working set", "0.         1", "", "Vector u", "0. 1",
      "", std::string(50, '='), "", "Vector g[x]", "0. 0", "Sum of infeasibilities:  0"};
  // clang-format on
  EXPECT_EQ(FLines, expected);
}

TEST_F(SolveQPTrace, EqualityConstraintsAndEmptyWorkingSets) {
  TProblem p;
  p.G = {{2, 0}, {0, 2}};
  p.g0 = {0, 0};
  p.inequalities = {{2, 2}, {0, 1}};
  p.ci0 = {-10, -6};
  Solve(p);
  // After the first constraint leaves, nothing is active: the working set and
  // the multipliers are reported without entries.
  const auto partial = std::find(FLines.begin(), FLines.end(), "Partial step");
  ASSERT_NE(partial, FLines.end());
  EXPECT_EQ(std::vector<std::string>(partial, partial + 5),
            (std::vector<std::string>{"Partial step", "", "Working set", "", "Vector u"}));
  EXPECT_EQ(partial[5], "");

  FLines.clear();
  p.equalities = {{1, -1}};
  p.ce0 = {0};
  Solve(p);
  ASSERT_GE(FLines.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(FLines.begin() + 4, FLines.begin() + 8),
            (std::vector<std::string>{"", "Adding equality constraint 0", "", "Vector z"}));
}

}  // namespace
}  // namespace vt
