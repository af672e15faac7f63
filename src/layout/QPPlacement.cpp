#include "layout/QPPlacement.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <string_view>

#include "layout/DualQP.h"

namespace vt {

namespace {

inline constexpr std::string_view SQPBlockSystem = "The block system of the QP placement cannot be factored";

using TSparse = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

// Scratch of one SolvePlacementQP run. The working set is kept per
// constraint (indexed by its left node); the nodes its constraints join form
// rigid blocks, each placed by the position of its leftmost node, which the
// others follow at fixed offsets. Nothing recurses: levels are walked along
// their chains and the tree by node numbers.
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
  int FBlocks = 0;
  // Each node's distance from its block's first node while the blocks are
  // solved, then the solution of the working set's equality program.
  std::vector<double> FX;
  // By left node: the multiplier of an active constraint, else 0; held only
  // from ComputeMultipliers to the next solve.
  std::vector<double> FLambda;
  // Each block's row in the block system, or -1 for a leaf block: one of
  // leaves whose parents all lie in one block, which follows that block.
  std::vector<int> FRow;
  int FSystemSize = 0;
  double FScale = 1.0;  // 1 + the largest coordinate of FX
  // The block system of the working set while it is solved: its lower
  // triangle in compressed columns and its right-hand side.
  std::vector<int> FColumns;
  std::vector<int> FRows;
  std::vector<double> FValues;
  Eigen::VectorXd FRhs;
  using TFactor = Eigen::SimplicialLDLT<TSparse, Eigen::Lower, Eigen::AMDOrdering<int>>;

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
  void FoldLeafBlocks();
  void BuildSystem();
  void PlaceBlocks(const Eigen::VectorXd& ASystemSolution);
  void SolveBlocks();
  void ComputeMultipliers();
  int UpdateWorkingSet();
  void MakeFeasible(std::vector<double>& AX);
  double StepToSolution(std::vector<double>& AX);
  bool DropNegative(bool AAll);
};

TBlockSolver::TBlockSolver(const TPlacementQP& AProblem)
    : FProblem(AProblem),
      FSize(AProblem.Size()),
      FActive(AProblem.Equal),
      FBlock(static_cast<std::size_t>(FSize)),
      FX(static_cast<std::size_t>(FSize)) {
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
  FX[0] = 0.0;
  for (int k : FStarts) {
    FBlock[static_cast<std::size_t>(k)] = FBlocks++;
    FX[static_cast<std::size_t>(k)] = 0.0;
    for (int r = FProblem.Right[static_cast<std::size_t>(k)]; r >= 0;
         k = r, r = FProblem.Right[static_cast<std::size_t>(k)]) {
      const auto i = static_cast<std::size_t>(k);
      const auto j = static_cast<std::size_t>(r);
      if (FActive[i]) {
        FBlock[j] = FBlock[i];
        FX[j] = FX[i] + FProblem.Gap[i];
      } else {
        FBlock[j] = FBlocks++;
        FX[j] = 0.0;
      }
    }
  }
}

// A leaf block, all of whose parent-child pairs lead to one block A, sits at
// the mean of where its pairs would put it relative to A, whatever A's
// position; so its pairs leave A's equation as well, and it is placed after
// the system is solved.
void TBlockSolver::FoldLeafBlocks() {
  constexpr int unseen = -2, joined = -3;
  FRow.assign(static_cast<std::size_t>(FBlocks), unseen);
  std::vector<unsigned char> parent(static_cast<std::size_t>(FSize));
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c)
    parent[static_cast<std::size_t>(FProblem.Parent[c])] = 1;
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    int& row = FRow[static_cast<std::size_t>(FBlock[c])];
    const int anchor = FBlock[static_cast<std::size_t>(FProblem.Parent[c])];
    if (parent[c] || (row != unseen && row != anchor)) row = joined;
    if (row == unseen) row = anchor;
  }
  FSystemSize = 0;
  for (int& row : FRow) row = row == joined ? FSystemSize++ : -1;
}

// Every other parent-child pair adds (y[a] + o[c] - y[b] - o[p])^2 to the
// objective, a and b being the rows of child c's and parent p's blocks; its
// normal equations are a weighted Laplacian over the blocks, grounded at the
// root. Its lower triangle is gathered by columns straight into compressed
// form: each column's entries are sorted and repeats of a pair summed.
void TBlockSolver::BuildSystem() {
  const auto size = static_cast<std::size_t>(FSystemSize);
  auto rowOf = [this](std::size_t ANode) {
    const int block = FBlock[ANode];
    return block < 0 ? -1 : FRow[static_cast<std::size_t>(block)];
  };
  FColumns.assign(size + 1, 0);
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    const int a = rowOf(c);
    const int b = rowOf(static_cast<std::size_t>(FProblem.Parent[c]));
    if (a >= 0 && b >= 0) ++FColumns[static_cast<std::size_t>(std::min(a, b)) + 1];
  }
  for (std::size_t j = 0; j < size; ++j) FColumns[j + 1] += FColumns[j] + 1;  // and the diagonal
  FRows.resize(static_cast<std::size_t>(FColumns[size]));
  FValues.assign(FRows.size(), 0.0);
  std::vector<int> fill(FColumns.begin(), FColumns.end() - 1);
  for (std::size_t j = 0; j < size; ++j) FRows[static_cast<std::size_t>(fill[j]++)] = static_cast<int>(j);
  FRhs.setZero(FSystemSize);
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    const auto p = static_cast<std::size_t>(FProblem.Parent[c]);
    const int a = rowOf(c);
    if (a < 0) continue;  // a leaf block's pair
    const int b = rowOf(p);
    const double d = FX[c] - FX[p];
    FValues[static_cast<std::size_t>(FColumns[static_cast<std::size_t>(a)])] += 1.0;
    FRhs[a] -= d;
    if (b < 0) continue;  // the root's
    FValues[static_cast<std::size_t>(FColumns[static_cast<std::size_t>(b)])] += 1.0;
    FRhs[b] += d;
    const int k = fill[static_cast<std::size_t>(std::min(a, b))]++;
    FRows[static_cast<std::size_t>(k)] = std::max(a, b);
    FValues[static_cast<std::size_t>(k)] = -1.0;
  }
  // Sort each column's off-diagonal rows (their values are all -1) and merge.
  int to = 0;
  for (std::size_t j = 0; j < size; ++j) {
    const int from = FColumns[j];
    const int end = FColumns[j + 1];
    FColumns[j] = to;
    FRows[static_cast<std::size_t>(to)] = FRows[static_cast<std::size_t>(from)];
    FValues[static_cast<std::size_t>(to++)] = FValues[static_cast<std::size_t>(from)];
    std::sort(FRows.begin() + from + 1, FRows.begin() + end);
    for (int k = from + 1; k < end; ++k) {
      const auto i = static_cast<std::size_t>(k);
      if (to - 1 > FColumns[j] && FRows[i] == FRows[static_cast<std::size_t>(to - 1)]) {
        FValues[static_cast<std::size_t>(to - 1)] -= 1.0;
      } else {
        FRows[static_cast<std::size_t>(to)] = FRows[i];
        FValues[static_cast<std::size_t>(to++)] = -1.0;
      }
    }
  }
  FColumns[size] = to;
}

// The blocks' positions: the system's rows, then each leaf block at the
// mean over its pairs of its anchor's position plus the pair's offsets.
void TBlockSolver::PlaceBlocks(const Eigen::VectorXd& ASystemSolution) {
  std::vector<double> y(static_cast<std::size_t>(FBlocks), 0.0);
  std::vector<int> pairs(static_cast<std::size_t>(FBlocks), 0);
  auto at = [&](int ABlock) { return ABlock < 0 ? 0.0 : y[static_cast<std::size_t>(ABlock)]; };
  for (std::size_t b = 0; b < y.size(); ++b)
    if (FRow[b] >= 0) y[b] = ASystemSolution[FRow[b]];
  for (std::size_t c = 1; c < static_cast<std::size_t>(FSize); ++c) {
    const auto b = static_cast<std::size_t>(FBlock[c]);
    if (FRow[b] >= 0) continue;
    const auto p = static_cast<std::size_t>(FProblem.Parent[c]);
    y[b] += at(FBlock[p]) + FX[p] - FX[c];
    ++pairs[b];
  }
  for (std::size_t b = 0; b < y.size(); ++b)
    if (FRow[b] < 0) y[b] /= pairs[b];
  FScale = 1.0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(FSize); ++k) {
    FX[k] += at(FBlock[k]);
    FScale = std::max(FScale, 1.0 + std::fabs(FX[k]));
  }
}

void TBlockSolver::SolveBlocks() {
  FLambda = {};
  FormBlocks();
  FoldLeafBlocks();
  Eigen::VectorXd y;
  if (FSystemSize > 0) {
    BuildSystem();
    const Eigen::Map<const TSparse> system(FSystemSize, FSystemSize,
                                           FColumns[static_cast<std::size_t>(FSystemSize)], FColumns.data(),
                                           FRows.data(), FValues.data());
    auto factor = std::make_unique<TFactor>(system);
    if (factor->info() != Eigen::Success) throw EQPError(std::string(SQPBlockSystem));
    y = factor->solve(FRhs);
    // One step of refinement recovers what the factorisation rounded away.
    FRhs -= system.selfadjointView<Eigen::Lower>() * y;
    y += factor->solve(FRhs);
  }
  FColumns = {};
  FRows = {};
  FValues = {};
  FRhs = {};
  PlaceBlocks(y);
  FRow = {};
}

// Stationarity on a chain: the gradient of node k equals the multiplier of
// the constraint on its left minus that on its right, so the multipliers are
// the negated prefix sums of the gradient, restarting after each inactive
// constraint (half the objective's gradient is used: only signs matter).
void TBlockSolver::ComputeMultipliers() {
  FLambda.assign(static_cast<std::size_t>(FSize), 0.0);
  std::vector<double>& gradient = FLambda;
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
// enter, all at once. Returns how many changed.
int TBlockSolver::UpdateWorkingSet() {
  int changes = 0;
  for (int k = 1; k < FSize; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (!HasConstraint(k) || FProblem.Equal[i]) continue;
    if (FActive[i] ? FLambda[i] < -MultiplierTolerance() : Slack(FX, k) < -SlackTolerance()) {
      FActive[i] = !FActive[i];
      ++changes;
    }
  }
  return changes;
}

// Exchanges go on while they make progress: the number of changes has to
// reach a new low every few steps, else the exchange is taken to circle.
bool TBlockSolver::Exchange(int ALimit, int& ASolves) {
  constexpr int patience = 8;
  int fewest = FSize + 1;
  int sinceFewest = 0;
  for (int solve = 0; solve < ALimit && sinceFewest < patience; ++solve) {
    SolveBlocks();
    ++ASolves;
    ComputeMultipliers();
    const int changes = UpdateWorkingSet();
    if (changes == 0) return true;
    if (changes < fewest) {
      fewest = changes;
      sinceFewest = 0;
    } else {
      ++sinceFewest;
    }
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

// Removes the active inequalities with negative multipliers, or only the
// most negative one (the first of equal ones) unless AAll; false when there
// is none, which makes FX optimal.
bool TBlockSolver::DropNegative(bool AAll) {
  double most = -MultiplierTolerance();
  int drop = -1;
  for (int k = 1; k < FSize; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (!HasConstraint(k) || !FActive[i] || FProblem.Equal[i] || FLambda[i] >= -MultiplierTolerance())
      continue;
    if (AAll) FActive[i] = 0;
    if (FLambda[i] < most) {
      most = FLambda[i];
      drop = k;
    }
  }
  if (drop < 0) return false;
  FActive[static_cast<std::size_t>(drop)] = 0;
  return true;
}

// From a feasible point, every step either reaches the working set's
// minimum or stops at constraints that then join the set; at a minimum the
// inequalities with negative multipliers leave. The objective never rises
// and falls with every step that moves, and the constraints of a working set
// are always independent (any subset of the level chains is), so no working
// set comes back and the method ends at the optimum. Several constraints
// leave at once only after a step that moved; otherwise the one with the
// most negative multiplier alone, for which the step is sure to move. The
// limit on solves only guards against rounding: the point stays feasible.
void TBlockSolver::ActiveSet(int& ASolves) {
  std::vector<double> x = FX;
  MakeFeasible(x);
  const int limit = ASolves + 10 * FSize + 100;
  bool moved = true;
  while (ASolves < limit) {
    SolveBlocks();
    ++ASolves;
    const double step = StepToSolution(x);
    moved = moved || step > 0.0;
    if (step < 1.0) continue;
    ComputeMultipliers();
    if (!DropNegative(moved)) break;
    moved = false;
  }
  FX = std::move(x);
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
    if (AProblem.Right[static_cast<std::size_t>(k)] >= 0)
      ++(AProblem.Equal[static_cast<std::size_t>(k)] ? mE : mI);

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
