#include "layout/QPPlacement.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "layout/DualQP.h"

namespace vt {

namespace {

inline constexpr std::string_view SQPBlockSystem = "The block system of the QP placement cannot be factored";

using TSparse = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

// Scratch of one SolvePlacementQP run. The working set is kept per
// constraint (indexed by its left node); the nodes its constraints join form
// rigid blocks, each placed by the position of its leftmost node, and the
// others follow at fixed offsets.
class TBlockSolver {
 public:
  explicit TBlockSolver(const TPlacementQP& AProblem);

  // Exchange steps from the equalities alone; true when the working set
  // settled, which makes the last solution optimal.
  bool Exchange(int ALimit, int& ASolves);
  // The primal active-set method, started from the last solution made
  // feasible.
  void ActiveSet(int& ASolves);

  std::vector<double>& Solution() { return FX; }

 private:
  const TPlacementQP& FProblem;
  const int FSize;
  std::vector<int> FStarts;            // the first node of every level but the root's
  std::vector<unsigned char> FActive;  // by left node: the constraint is in the working set
  std::vector<int> FBlock;             // each node's block, -1 for the root
  std::vector<double> FOffset;         // each node's distance from its block's first node
  int FBlocks = 0;
  std::vector<double> FX;       // solution of the working set's equality program
  std::vector<double> FLambda;  // by left node: the multiplier of an active constraint, else 0
  double FScale = 1.0;          // 1 + the largest coordinate of FX
  Eigen::SimplicialLDLT<TSparse, Eigen::Lower, Eigen::AMDOrdering<int>> FFactor;

  bool HasConstraint(int k) const { return FProblem.Right[static_cast<std::size_t>(k)] >= 0; }
  double Slack(const std::vector<double>& AX, int k) const {
    const auto i = static_cast<std::size_t>(k);
    return AX[static_cast<std::size_t>(FProblem.Right[i])] - AX[i] - FProblem.Gap[i];
  }
  // Rounding allowances: the slack of a met constraint, the multiplier of a
  // constraint worth keeping.
  double SlackTolerance() const { return 1e-10 + 1e-15 * FScale; }
  double MultiplierTolerance() const { return 1e-10 * FScale; }

  void FormBlocks();
  void SolveBlocks();
  void ComputeMultipliers();
  bool UpdateWorkingSet();
  void MakeFeasible(std::vector<double>& AX);
  double StepToSolution(std::vector<double>& AX);
  bool DropMostNegative();
};

TBlockSolver::TBlockSolver(const TPlacementQP& AProblem)
    : FProblem(AProblem),
      FSize(AProblem.Size()),
      FActive(AProblem.Equal),
      FBlock(static_cast<std::size_t>(FSize)),
      FOffset(static_cast<std::size_t>(FSize)),
      FX(static_cast<std::size_t>(FSize)),
      FLambda(static_cast<std::size_t>(FSize)) {
  // A node is the first of its level when no node has it to its right.
  std::vector<unsigned char> hasLeft(static_cast<std::size_t>(FSize));
  for (int r : FProblem.Right)
    if (r >= 0) hasLeft[static_cast<std::size_t>(r)] = 1;
  for (int k = 1; k < FSize; ++k)
    if (!hasLeft[static_cast<std::size_t>(k)]) FStarts.push_back(k);
}

void TBlockSolver::FormBlocks() {
  FBlocks = 0;
  FBlock[0] = -1;
  FOffset[0] = 0.0;
  for (int k : FStarts) {
    FBlock[static_cast<std::size_t>(k)] = FBlocks++;
    FOffset[static_cast<std::size_t>(k)] = 0.0;
    for (int r = FProblem.Right[static_cast<std::size_t>(k)]; r >= 0;
         k = r, r = FProblem.Right[static_cast<std::size_t>(k)]) {
      const auto i = static_cast<std::size_t>(k);
      const auto j = static_cast<std::size_t>(r);
      if (FActive[i]) {
        FBlock[j] = FBlock[i];
        FOffset[j] = FOffset[i] + FProblem.Gap[i];
      } else {
        FBlock[j] = FBlocks++;
        FOffset[j] = 0.0;
      }
    }
  }
}

// Every parent-child pair adds (y[a] + o[c] - y[b] - o[p])^2 to the
// objective, a and b being the blocks of child c and parent p; its normal
// equations are a weighted Laplacian over the blocks, grounded at the root.
void TBlockSolver::SolveBlocks() {
  FormBlocks();
  std::vector<Eigen::Triplet<double, int>> entries;
  entries.reserve(3 * static_cast<std::size_t>(FSize));
  Eigen::VectorXd rhs = Eigen::VectorXd::Zero(FBlocks);
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    const auto p = static_cast<std::size_t>(FProblem.Parent[c]);
    const int a = FBlock[c];
    const int b = FBlock[p];
    const double d = FOffset[c] - FOffset[p];
    entries.emplace_back(a, a, 1.0);
    rhs[a] -= d;
    if (b >= 0) {
      entries.emplace_back(b, b, 1.0);
      entries.emplace_back(std::max(a, b), std::min(a, b), -1.0);
      rhs[b] += d;
    }
  }
  TSparse system(FBlocks, FBlocks);
  system.setFromTriplets(entries.begin(), entries.end());
  entries = {};
  FFactor.compute(system);
  if (FFactor.info() != Eigen::Success) throw EQPError(std::string(SQPBlockSystem));
  Eigen::VectorXd y = FFactor.solve(rhs);
  // One step of refinement recovers what the factorisation rounded away.
  const Eigen::VectorXd residual = rhs - system.selfadjointView<Eigen::Lower>() * y;
  y += FFactor.solve(residual);

  FScale = 1.0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(FSize); ++k) {
    FX[k] = (FBlock[k] < 0 ? 0.0 : y[FBlock[k]]) + FOffset[k];
    FScale = std::max(FScale, 1.0 + std::fabs(FX[k]));
  }
}

// Stationarity on a chain: the gradient of node k equals the multiplier of
// the constraint on its left minus that on its right, so the multipliers are
// the negated prefix sums of the gradient, restarting after each inactive
// constraint (half the objective's gradient is used: only signs matter).
void TBlockSolver::ComputeMultipliers() {
  std::vector<double>& gradient = FLambda;
  std::fill(gradient.begin(), gradient.end(), 0.0);
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    const auto p = static_cast<std::size_t>(FProblem.Parent[c]);
    const double e = FX[c] - FX[p];
    gradient[c] += e;
    gradient[p] -= e;
  }
  for (int k : FStarts) {
    double sum = 0.0;
    for (; HasConstraint(k); k = FProblem.Right[static_cast<std::size_t>(k)]) {
      const auto i = static_cast<std::size_t>(k);
      sum -= gradient[i];
      gradient[i] = FActive[i] ? sum : 0.0;
      if (!FActive[i]) sum = 0.0;
    }
  }
}

// One exchange: inequalities with negative multipliers leave, violated ones
// enter, all at once.
bool TBlockSolver::UpdateWorkingSet() {
  bool changed = false;
  for (int k = 1; k < FSize; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (!HasConstraint(k) || FProblem.Equal[i]) continue;
    if (FActive[i] ? FLambda[i] < -MultiplierTolerance() : Slack(FX, k) < -SlackTolerance()) {
      FActive[i] = !FActive[i];
      changed = true;
    }
  }
  return changed;
}

bool TBlockSolver::Exchange(int ALimit, int& ASolves) {
  for (int solve = 0; solve < ALimit; ++solve) {
    SolveBlocks();
    ++ASolves;
    ComputeMultipliers();
    if (!UpdateWorkingSet()) return true;
  }
  return false;
}

// Each level swept left to right, every node pushed right as far as its left
// neighbour requires; the working set becomes the equalities and the
// constraints that the push made tight.
void TBlockSolver::MakeFeasible(std::vector<double>& AX) {
  for (int k : FStarts)
    for (; HasConstraint(k); k = FProblem.Right[static_cast<std::size_t>(k)]) {
      const auto i = static_cast<std::size_t>(k);
      const auto r = static_cast<std::size_t>(FProblem.Right[i]);
      const double least = AX[i] + FProblem.Gap[i];
      FActive[i] = FProblem.Equal[i] || AX[r] <= least;
      if (FActive[i]) AX[r] = least;
    }
}

// Moves AX towards the working set's solution FX as far as the inactive
// constraints allow, and adds those that block the way. Returns the step
// length (1: AX is FX).
double TBlockSolver::StepToSolution(std::vector<double>& AX) {
  double step = 1.0;
  for (int k = 1; k < FSize; ++k) {
    if (!HasConstraint(k) || FActive[static_cast<std::size_t>(k)]) continue;
    const double to = Slack(FX, k);
    if (to >= 0.0) continue;
    const double from = std::max(0.0, Slack(AX, k));
    step = std::min(step, from / (from - to));
  }
  if (step >= 1.0) {
    AX = FX;
    return 1.0;
  }
  for (int k = 1; k < FSize; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (!HasConstraint(k) || FActive[i]) continue;
    const double to = Slack(FX, k);
    if (to >= 0.0) continue;
    const double from = std::max(0.0, Slack(AX, k));
    if (from / (from - to) <= step) FActive[i] = 1;
  }
  for (std::size_t k = 0; k < AX.size(); ++k) AX[k] += step * (FX[k] - AX[k]);
  return step;
}

// Removes the active inequality with the most negative multiplier (the
// first of equal ones); false when there is none, which makes FX optimal.
bool TBlockSolver::DropMostNegative() {
  double most = -MultiplierTolerance();
  int drop = -1;
  for (int k = 1; k < FSize; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (HasConstraint(k) && FActive[i] && !FProblem.Equal[i] && FLambda[i] < most) {
      most = FLambda[i];
      drop = k;
    }
  }
  if (drop < 0) return false;
  FActive[static_cast<std::size_t>(drop)] = 0;
  return true;
}

// From a feasible point, every step either reaches the working set's
// minimum or stops at a constraint that then joins the set; at a minimum an
// inequality with a negative multiplier leaves. The objective never rises
// and falls with every step that moves, and the constraints of a working set
// are always independent (any subset of the level chains is), so no working
// set comes back: the method ends at the optimum.
void TBlockSolver::ActiveSet(int& ASolves) {
  std::vector<double> x = FX;
  MakeFeasible(x);
  for (;;) {
    SolveBlocks();
    ++ASolves;
    if (StepToSolution(x) < 1.0) continue;
    ComputeMultipliers();
    if (!DropMostNegative()) break;
  }
  FX = x;
}

}  // namespace

void SolvePlacementQP(const TPlacementQP& AProblem, std::vector<double>& X, const TPlacementOptions& AOptions,
                      TPlacementStats* AStats) {
  TPlacementStats stats;
  if (AProblem.Size() <= 1) {
    X.assign(static_cast<std::size_t>(AProblem.Size()), 0.0);
  } else {
    TBlockSolver solver(AProblem);
    stats.ExchangeConverged = solver.Exchange(AOptions.ExchangeSolves, stats.ExchangeSolves);
    if (!stats.ExchangeConverged) solver.ActiveSet(stats.ActiveSetSolves);
    X = std::move(solver.Solution());
  }
  if (AStats) *AStats = stats;
}

void SolvePlacementQPDense(const TPlacementQP& AProblem, std::vector<double>& X) {
  const int n = AProblem.Size() - 1;
  X.assign(static_cast<std::size_t>(AProblem.Size()), 0.0);
  if (n <= 0) return;
  int mE = 0;
  int mI = 0;
  for (int k = 0; k <= n; ++k)
    if (AProblem.Right[static_cast<std::size_t>(k)] >= 0) ++(AProblem.Equal[static_cast<std::size_t>(k)] ? mE : mI);

  TQPMatrix G, CE, CI;
  TFloatArray g0, ce0, ci0;
  InitMatrix(n, n, G);
  InitMatrix(n, mE, CE);
  InitMatrix(n, mI, CI);
  InitFloatArray(n, g0, 0.0);
  InitFloatArray(mE, ce0, 0.0);
  InitFloatArray(mI, ci0, 0.0);
  // Node k is variable k - 1; the root is no variable.
  for (std::size_t k = 1; k <= static_cast<std::size_t>(n); ++k) {
    G[k - 1][k - 1] += 2.0;
    const int p = AProblem.Parent[k];
    if (p > 0) {
      const auto i = static_cast<std::size_t>(p - 1);
      G[i][i] += 2.0;
      G[k - 1][i] = G[i][k - 1] = -2.0;
    }
  }
  std::size_t ce = 0;
  std::size_t ci = 0;
  for (std::size_t k = 1; k <= static_cast<std::size_t>(n); ++k) {
    const int r = AProblem.Right[k];
    if (r < 0) continue;
    const bool equal = AProblem.Equal[k];
    TQPMatrix& C = equal ? CE : CI;
    std::size_t& column = equal ? ce : ci;
    C[k - 1][column] = -1.0;
    C[static_cast<std::size_t>(r - 1)][column] = 1.0;
    (equal ? ce0 : ci0)[column] = -AProblem.Gap[k];
    ++column;
  }

  double f = 0.0;
  TFloatArray x, u;
  TIntArray A;
  int iq = 0;
  SolveQP(G, CI, CE, g0, ci0, ce0, f, x, u, A, iq);
  for (std::size_t k = 1; k <= static_cast<std::size_t>(n); ++k) X[k] = x[k - 1];
}

}  // namespace vt
