#include "layout/DualQP.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Utils.h"

namespace vt {

TQPTraceProc QPTrace;
std::string QPIndexFormat = "%10d. ";
std::string QPFloatFormat = " %9.2g";
std::string QPIntFormat = " %9d";

namespace {

constexpr double kEpsilon = FloatTolerance;
constexpr double kInfinity = 1e20;
constexpr std::size_t kRuleWidth = 50;

// ---------------------------------------------------------------------------
// Trace output. Every routine here is called only while QPTrace is set, so an
// untraced solve builds no strings.

bool Tracing() {
  return static_cast<bool>(QPTrace);
}

void TraceLine(const std::string& ALine) {
  QPTrace(ALine);
}

std::string FloatText(double AValue) {
  return Fmt(QPFloatFormat, AValue);
}

void TraceTitle(const std::string& ATitle) {
  TraceLine("");
  TraceLine(ATitle);
}

// The first ACount elements of a vector, one line each.
void TraceFloats(const std::string& ATitle, const double* AValues, std::size_t ACount) {
  TraceTitle(ATitle);
  for (std::size_t i = 0; i < ACount; ++i)
    TraceLine(Fmt(QPIndexFormat, static_cast<long long>(i)) + FloatText(AValues[i]));
}

void TraceFloats(const std::string& ATitle, const TFloatArray& AValues) {
  TraceFloats(ATitle, AValues.data(), AValues.size());
}

void TraceInts(const std::string& ATitle, const TIntArray& AValues, std::size_t ACount) {
  TraceTitle(ATitle);
  for (std::size_t i = 0; i < ACount; ++i)
    TraceLine(Fmt(QPIndexFormat, static_cast<long long>(i)) + Fmt(QPIntFormat, AValues[i]));
}

// A square matrix stored column after column, shown row by row.
void TraceMatrix(const std::string& ATitle, const std::vector<double>& AValues, std::size_t AOrder) {
  TraceTitle(ATitle);
  for (std::size_t i = 0; i < AOrder; ++i) {
    std::string line = Fmt(QPIndexFormat, static_cast<long long>(i));
    for (std::size_t j = 0; j < AOrder; ++j) line += FloatText(AValues[j * AOrder + i]);
    TraceLine(line);
  }
}

// ---------------------------------------------------------------------------

// The nonzero coefficients of every column of a constraint matrix, each
// column by increasing row. The constraints of a placement touch two
// variables each, so a product with a constraint column costs two terms
// instead of n. Skipping zero terms changes no sum.
class TSparseColumns {
 public:
  void Build(const TQPMatrix& M, std::size_t ARows, std::size_t ACols) {
    FStart.assign(ACols + 1, 0);
    for (std::size_t j = 0; j < ARows; ++j)
      for (std::size_t i = 0; i < ACols; ++i)
        if (M[j][i] != 0.0) ++FStart[i + 1];
    for (std::size_t i = 0; i < ACols; ++i) FStart[i + 1] += FStart[i];
    FRow.resize(FStart[ACols]);
    FValue.resize(FStart[ACols]);
    std::vector<std::size_t> next(FStart.begin(), FStart.end() - 1);
    for (std::size_t j = 0; j < ARows; ++j)
      for (std::size_t i = 0; i < ACols; ++i)
        if (M[j][i] != 0.0) {
          FRow[next[i]] = j;
          FValue[next[i]] = M[j][i];
          ++next[i];
        }
  }

  // Column ACol of the matrix times V.
  double Dot(std::size_t ACol, const TFloatArray& V) const {
    double sum = 0.0;
    for (std::size_t k = FStart[ACol]; k < FStart[ACol + 1]; ++k) sum += FValue[k] * V[FRow[k]];
    return sum;
  }

  // Writes column ACol into the dense vector V.
  void Load(std::size_t ACol, TFloatArray& V) const {
    std::fill(V.begin(), V.end(), 0.0);
    for (std::size_t k = FStart[ACol]; k < FStart[ACol + 1]; ++k) V[FRow[k]] = FValue[k];
  }

  // True when more than a quarter of the coefficients are nonzero: a pass
  // over the dense matrix is then the cheaper way to multiply it.
  bool Dense(std::size_t ARows) const {
    const std::size_t cols = FStart.size() - 1;
    return FStart[cols] * 4 > ARows * cols;
  }

  std::size_t Begin(std::size_t ACol) const { return FStart[ACol]; }
  std::size_t End(std::size_t ACol) const { return FStart[ACol + 1]; }
  std::size_t Row(std::size_t AEntry) const { return FRow[AEntry]; }
  double Value(std::size_t AEntry) const { return FValue[AEntry]; }

 private:
  std::vector<std::size_t> FStart;
  std::vector<std::size_t> FRow;
  std::vector<double> FValue;
};

// Applies one Givens reflection to a pair of columns: A := A cc + B ss,
// B := xny (A_old + A) - B.
void Reflect(double* AColA, double* AColB, std::size_t ALength, double cc, double ss, double xny) {
  for (std::size_t k = 0; k < ALength; ++k) {
    const double a = AColA[k];
    const double b = AColB[k];
    AColA[k] = a * cc + b * ss;
    AColB[k] = xny * (a + AColA[k]) - b;
  }
}

// One solve: the inputs, the results and all working storage. Everything is
// allocated before the first constraint enters, so the step loop allocates
// nothing.
class TDualQPSolver {
 public:
  TDualQPSolver(TQPMatrix& G, const TQPMatrix& CI, const TQPMatrix& CE, const TFloatArray& g0,
                const TFloatArray& ci0, const TFloatArray& ce0, double& f, TFloatArray& x, TFloatArray& u,
                TIntArray& A, int& iq)
      : G(G), CI(CI), CE(CE), g0(g0), ci0(ci0), ce0(ce0), f(f), x(x), u(u), A(A), iq(iq) {}

  bool Solve() {
    CheckInputs();
    AllocateWorkingStorage();
    CholeskyDecompose();
    CholeskySolve();
    InvertFactor();
    AddEqualityConstraints();
    return SolveInequalities();
  }

 private:
  // Inputs and results.
  TQPMatrix& G;
  const TQPMatrix& CI;
  const TQPMatrix& CE;
  const TFloatArray& g0;
  const TFloatArray& ci0;
  const TFloatArray& ce0;
  double& f;
  TFloatArray& x;
  TFloatArray& u;
  TIntArray& A;
  int& iq;

  // Sizes: variables, inequalities, equalities.
  std::size_t n = 0;
  std::size_t mI = 0;
  std::size_t mE = 0;

  // Working storage. J and R are n x n, stored column after column: every
  // update works on whole columns (the rotations on pairs of columns of J,
  // the primal direction as a sum of columns of J, the dual direction and
  // the deletions on columns of R), so their inner loops run over
  // contiguous memory.
  std::vector<double> J;
  std::vector<double> R;
  TFloatArray d;
  TFloatArray z;
  TFloatArray np;
  TFloatArray s;
  TFloatArray r;
  std::vector<double> block;  // kBlock rows of n
  TIntArray iai;
  TSparseColumns ciColumns;
  TSparseColumns ceColumns;
  // Rows [jLo[j], jHi[j]) of column j of J hold all its nonzero elements.
  // J starts as the inverse of a factor that is often sparse (a tree's
  // Hessian splits into one block per subtree of the root), and a rotation
  // only merges the ranges of its two columns, so the updates can leave out
  // rows that are zero in both columns: their results would be zero again.
  std::vector<std::size_t> jLo;
  std::vector<std::size_t> jHi;
  bool ciDense = false;
  double R_norm = 1.0;
  double threshold = 0.0;
  double t = 0.0;
  double t1 = 0.0;
  double t2 = 0.0;
  double zn = 0.0;  // z . np of the current direction
  int p = 0;        // inequality being introduced, counted from 1
  int l = 0;        // inequality leaving the active set, counted from 1

  double* JCol(std::size_t j) { return &J[j * n]; }
  double& JAt(std::size_t i, std::size_t j) { return J[j * n + i]; }
  double* RCol(std::size_t j) { return &R[j * n]; }
  double& RAt(std::size_t i, std::size_t j) { return R[j * n + i]; }
  std::size_t Active() const { return static_cast<std::size_t>(iq); }

  // --- Set-up ---------------------------------------------------------------

  void CheckInputs() {
    x.clear();
    u.clear();
    A.clear();
    f = 0.0;
    iq = 0;
    n = g0.size();
    mI = ci0.size();
    mE = ce0.size();
    if (n == 0) throw EQPError(std::string(SQPNullHessian));
    const int rows = static_cast<int>(n);
    CheckMatrixDim(G, rows, rows, "G");
    CheckMatrixDim(CI, rows, static_cast<int>(mI), "CI");
    CheckMatrixDim(CE, rows, static_cast<int>(mE), "CE");
  }

  void AllocateWorkingStorage() {
    const std::size_t m = mE + mI;
    x.assign(n, 0.0);
    u.assign(m, 0.0);
    A.assign(m, 0);
    d.assign(n, 0.0);
    z.assign(n, 0.0);
    np.assign(n, 0.0);
    block.assign(kBlock * n, 0.0);
    J.assign(n * n, 0.0);
    jLo.assign(n, 0);
    jHi.assign(n, 0);
    R.assign(n * n, 0.0);
    s.assign(mI, 0.0);
    r.assign(m, 0.0);
    iai.assign(m, 0);
    for (std::size_t i = 0; i < mI; ++i) iai[i] = static_cast<std::int32_t>(i + 1);
    ciColumns.Build(CI, n, mI);
    ciDense = ciColumns.Dense(n);
    ceColumns.Build(CE, n, mE);
  }

  // Rows handled together by the factorisation and the inversion, so that
  // each row of U is fetched once per block rather than once per row.
  static constexpr std::size_t kBlock = 8;
  double* BlockRow(std::size_t b) { return &block[b * n]; }

  // G = U'U with U in the upper triangle of G. Row i is formed from the rows
  // above it, so the given lower triangle is read but never written.
  void CholeskyDecompose() {
    for (std::size_t i0 = 0; i0 < n; i0 += kBlock) {
      const std::size_t i1 = std::min(n, i0 + kBlock);
      for (std::size_t i = i0; i < i1; ++i) {
        double* w = BlockRow(i - i0);
        for (std::size_t k = i; k < n; ++k) w[k] = G[k][i];
      }
      for (std::size_t j = 0; j < i0; ++j) SubtractRow(j, i0, i1);
      for (std::size_t i = i0; i < i1; ++i) {
        for (std::size_t j = i0; j < i; ++j) SubtractRow(j, i, i + 1);
        FinishRow(i, BlockRow(i - i0));
      }
    }
  }

  // Takes row j of U, times U[j][i], from the partial row i for i in [AFrom, ATo).
  void SubtractRow(std::size_t j, std::size_t AFrom, std::size_t ATo) {
    const double* rowJ = G[j].data();
    for (std::size_t i = AFrom; i < ATo; ++i) {
      const double gji = rowJ[i];
      if (gji == 0.0) continue;
      double* w = BlockRow(i % kBlock);
      for (std::size_t k = i; k < n; ++k) w[k] -= gji * rowJ[k];
    }
  }

  void FinishRow(std::size_t i, const double* w) {
    const double v = w[i];
    if (!(v > 0.0)) throw EQPError(std::string(SQPNotPositiveDefinite));
    double* rowI = G[i].data();
    rowI[i] = std::sqrt(v);
    for (std::size_t k = i + 1; k < n; ++k) rowI[k] = w[k] / rowI[i];
  }

  // Rows [i0, i1) of J: row i solves U'y = e_i, by the same steps as
  // ForwardElimination, all rows of the block at once.
  void InvertRows(std::size_t i0, std::size_t i1) {
    std::fill(block.begin(), block.end(), 0.0);
    for (std::size_t i = i0; i < i1; ++i) BlockRow(i - i0)[i] = 1.0;
    for (std::size_t j = i0; j < n; ++j) {
      const double* rowJ = G[j].data();
      for (std::size_t i = i0; i < i1 && i <= j; ++i) {
        double* y = BlockRow(i - i0);
        y[j] /= rowJ[j];
        const double yj = y[j];
        if (yj == 0.0) continue;
        for (std::size_t k = j + 1; k < n; ++k) y[k] -= rowJ[k] * yj;
      }
    }
    for (std::size_t i = i0; i < i1; ++i) {
      const double* y = BlockRow(i - i0);
      for (std::size_t k = i; k < n; ++k) JAt(i, k) = y[k];
    }
  }

  // Solves U'y = b in place (y holds b on entry), knowing that b is zero
  // before AFirst.
  void ForwardElimination(double* y, std::size_t AFirst) {
    for (std::size_t j = AFirst; j < n; ++j) {
      const double* rowJ = G[j].data();
      y[j] /= rowJ[j];
      const double yj = y[j];
      if (yj == 0.0) continue;
      for (std::size_t k = j + 1; k < n; ++k) y[k] -= rowJ[k] * yj;
    }
  }

  // Solves Ux = y in place.
  void BackSubstitution(double* y) {
    for (std::size_t i = n; i-- > 0;) {
      const double* rowI = G[i].data();
      double sum = y[i];
      for (std::size_t k = i + 1; k < n; ++k) sum -= rowI[k] * y[k];
      y[i] = sum / rowI[i];
    }
  }

  // The unconstrained minimum x = -G^-1 g0.
  void CholeskySolve() {
    std::copy(g0.begin(), g0.end(), x.begin());
    ForwardElimination(x.data(), 0);
    BackSubstitution(x.data());
    for (double& v : x) v = -v;
    f = 0.5 * DotProduct(g0, x);
    if (Tracing()) TraceFloats("Unconstrained solution", x);
  }

  // J = U^-1 (row i solves U'y = e_i) and the infeasibility threshold.
  void InvertFactor() {
    double c1 = 0.0;
    for (std::size_t i = 0; i < n; ++i) c1 += G[i][i];
    R_norm = 1.0;
    for (std::size_t i0 = 0; i0 < n; i0 += kBlock) InvertRows(i0, std::min(n, i0 + kBlock));
    for (std::size_t j = 0; j < n; ++j) FindNonzeroRows(j);
    double c2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) c2 += JAt(i, i);
    threshold = kEpsilon * static_cast<double>(mI) * c1 * c2 * 100.0;
  }

  void FindNonzeroRows(std::size_t j) {
    const double* col = JCol(j);
    std::size_t lo = 0;
    std::size_t hi = n;
    while (lo < hi && col[lo] == 0.0) ++lo;
    while (hi > lo && col[hi - 1] == 0.0) --hi;
    jLo[j] = lo;
    jHi[j] = hi;
  }

  // Reflects columns a and b of J over the rows where either is nonzero.
  void ReflectColumns(std::size_t a, std::size_t b, double cc, double ss, double xny) {
    const std::size_t lo = std::min(jLo[a], jLo[b]);
    const std::size_t hi = std::max(jHi[a], jHi[b]);
    if (lo >= hi) return;
    Reflect(JCol(a) + lo, JCol(b) + lo, hi - lo, cc, ss, xny);
    jLo[a] = jLo[b] = lo;
    jHi[a] = jHi[b] = hi;
  }

  // --- Directions -------------------------------------------------------------

  // np := column ACol of the constraint matrix.
  void LoadConstraint(const TSparseColumns& AColumns, std::size_t ACol) { AColumns.Load(ACol, np); }

  // d = J'np, the primal direction z = J2 d2 and the dual direction
  // r = R^-1 d1, where 1 stands for the first iq columns and 2 for the rest.
  void ComputeDirections(const TSparseColumns& AColumns, std::size_t ACol) {
    const std::size_t first = AColumns.Begin(ACol);
    const std::size_t last = AColumns.End(ACol);
    // Four columns at a time: four independent sums, each in the order of
    // the variables.
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
      const double* c0 = JCol(k);
      const double* c1 = c0 + n;
      const double* c2 = c1 + n;
      const double* c3 = c2 + n;
      double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
      for (std::size_t e = first; e < last; ++e) {
        const std::size_t row = AColumns.Row(e);
        const double v = AColumns.Value(e);
        s0 += c0[row] * v;
        s1 += c1[row] * v;
        s2 += c2[row] * v;
        s3 += c3[row] * v;
      }
      d[k] = s0;
      d[k + 1] = s1;
      d[k + 2] = s2;
      d[k + 3] = s3;
    }
    for (; k < n; ++k) {
      const double* col = JCol(k);
      double sum = 0.0;
      for (std::size_t e = first; e < last; ++e) sum += col[AColumns.Row(e)] * AColumns.Value(e);
      d[k] = sum;
    }
    const std::size_t q = Active();
    std::fill(z.begin(), z.end(), 0.0);
    for (std::size_t j = q; j < n; ++j) {
      const double dj = d[j];
      if (dj == 0.0) continue;
      const double* col = JCol(j);
      for (std::size_t k = jLo[j]; k < jHi[j]; ++k) z[k] += col[k] * dj;
    }
    std::copy(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(q), r.begin());
    for (std::size_t j = q; j-- > 0;) {
      r[j] /= RAt(j, j);
      const double rj = r[j];
      const double* col = RCol(j);
      for (std::size_t k = 0; k < j; ++k) r[k] -= col[k] * rj;
    }
    zn = AColumns.Dot(ACol, z);
  }

  // --- Equality constraints -----------------------------------------------

  void AddEqualityConstraints() {
    for (std::size_t i = 0; i < mE; ++i) {
      if (Tracing()) {
        TraceLine("");
        TraceLine("Adding equality constraint " + std::to_string(i));
      }
      LoadConstraint(ceColumns, i);
      ComputeDirections(ceColumns, i);
      t2 = 0.0;
      if (DotProduct(z, z) != 0.0) t2 = (-ceColumns.Dot(i, x) - ce0[i]) / zn;
      for (std::size_t k = 0; k < n; ++k) x[k] += t2 * z[k];
      u[Active()] = t2;
      for (std::size_t k = 0; k < Active(); ++k) u[k] -= t2 * r[k];
      f += 0.5 * t2 * t2 * zn;
      if (Tracing()) {
        TraceFloats("Vector z", z);
        TraceFloats("Vector u", u.data(), Active() + 1);
        TraceFloats("Vector x", x);
      }
      A[i] = -1;
      AddConstraint();
    }
  }

  // --- Main loop ----------------------------------------------------------

  // Each pass ends with one constraint entering; in exact arithmetic the dual
  // objective grows with every pass, so the passes are finite. Rounding on a
  // degenerate problem could make them cycle, hence the bound.
  std::size_t MaxPasses() const { return 100 + 10 * (mE + mI + n); }

  bool SolveInequalities() {
    for (std::size_t pass = 0;; ++pass) {
      if (pass > MaxPasses()) throw EQPError(std::string(SQPDegenerate));
      const double psi = ComputeConstraintValues();
      if (std::fabs(psi) <= threshold) return true;
      MarkActiveInequalities();
      if (!ChooseViolatedConstraint()) return true;
      IntroduceConstraint();
      if (!StepTowardsConstraint()) {
        DropPendingConstraint();
        return false;
      }
      FullStep();
    }
  }

  // s := CI'x + ci0; returns the sum of the violations.
  double ComputeConstraintValues() {
    if (ciDense) {
      // Row by row, so that the inner loop runs along a row; each s[i] still
      // sums its terms in the order of the variables.
      std::fill(s.begin(), s.end(), 0.0);
      for (std::size_t j = 0; j < n; ++j) {
        const double xj = x[j];
        if (xj == 0.0) continue;
        const double* row = CI[j].data();
        for (std::size_t i = 0; i < mI; ++i) s[i] += row[i] * xj;
      }
    } else {
      for (std::size_t i = 0; i < mI; ++i) s[i] = ciColumns.Dot(i, x);
    }
    double psi = 0.0;
    for (std::size_t i = 0; i < mI; ++i) {
      s[i] += ci0[i];
      if (s[i] < 0.0) psi += s[i];
    }
    if (Tracing()) {
      TraceLine("");
      TraceLine(std::string(kRuleWidth, '='));
      TraceFloats("Vector g[x]", s);
      TraceLine("Sum of infeasibilities: " + FloatText(psi));
    }
    return psi;
  }

  void MarkActiveInequalities() {
    for (std::size_t k = mE; k < Active(); ++k) iai[static_cast<std::size_t>(A[k] - 1)] = 0;
  }

  // The most violated inactive inequality; of equal ones the first.
  bool ChooseViolatedConstraint() {
    double best = 0.0;
    p = 0;
    for (std::size_t i = 0; i < mI; ++i)
      if (s[i] < best && iai[i] != 0) {
        best = s[i];
        p = static_cast<int>(i + 1);
      }
    return best < 0.0;
  }

  std::size_t PendingColumn() const { return static_cast<std::size_t>(p - 1); }

  void IntroduceConstraint() {
    LoadConstraint(ciColumns, PendingColumn());
    u[Active()] = 0.0;
    A[Active()] = p;
    if (Tracing()) {
      TraceLine("");
      TraceLine("Introduce restriction p=" + std::to_string(p));
      TraceInts("Working set", A, Active() + 1);
      TraceFloats("Gradient", np);
    }
  }

  // Moves towards satisfying constraint p, dropping active constraints whose
  // multipliers would turn negative, until a full step is possible. False
  // when no step is possible at all: the constraints cannot be met.
  bool StepTowardsConstraint() {
    do {
      if (Tracing()) {
        TraceLine("");
        TraceLine(std::string(kRuleWidth, '-'));
      }
      ComputeDirections(ciColumns, PendingColumn());
      if (Tracing()) {
        TraceFloats("Vector d", d);
        TraceFloats("Primal correction z", z);
        if (iq > 0) TraceFloats("Dual correction v", r.data(), Active());
      }
      PartialStepLength();
      FullStepLength();
      t = t1 >= t2 ? t2 : t1;
      if (Tracing()) {
        TraceLine("");
        TraceLine("Stepsizes: " + FloatText(t1) + FloatText(t2));
      }
      if (t >= kInfinity) return false;
      if (t2 < kInfinity)
        StepInPrimalAndDualSpace();
      else
        StepInDualSpace();
    } while (t != t2);
    return true;
  }

  // The largest step before an active inequality's multiplier reaches 0.
  void PartialStepLength() {
    t1 = kInfinity;
    l = 0;
    for (std::size_t k = mE; k < Active(); ++k)
      if (r[k] > 0.0 && u[k] / r[k] < t1) {
        t1 = u[k] / r[k];
        l = A[k];
      }
  }

  // The step that makes constraint p hold with equality.
  void FullStepLength() { t2 = DotProduct(z, z) != 0.0 ? -s[PendingColumn()] / zn : kInfinity; }

  void UpdateMultipliers() {
    for (std::size_t k = 0; k < Active(); ++k) u[k] -= t * r[k];
    u[Active()] += t;
  }

  void TraceWorkingSet(const char* ATitle) {
    if (!Tracing()) return;
    TraceLine("");
    TraceLine(ATitle);
    TraceInts("Working set", A, Active());
    TraceFloats("Vector u", u.data(), Active());
  }

  void StepInPrimalAndDualSpace() {
    for (std::size_t k = 0; k < n; ++k) x[k] += t * z[k];
    f += t * zn * (0.5 * t + u[Active()]);
    UpdateMultipliers();
    if (Tracing()) {
      TraceFloats("Current solution", x);
      TraceLine("Function value: " + FloatText(f));
    }
    if (t == t2) return;
    iai[static_cast<std::size_t>(l - 1)] = l;
    DeleteConstraint(l);
    TraceWorkingSet("Partial step");
    s[PendingColumn()] = ciColumns.Dot(PendingColumn(), x) + ci0[PendingColumn()];
  }

  void StepInDualSpace() {
    UpdateMultipliers();
    iai[static_cast<std::size_t>(l - 1)] = l;
    DeleteConstraint(l);
    TraceWorkingSet("Partial step in the duals only");
  }

  void FullStep() {
    AddConstraint();
    iai[PendingColumn()] = 0;
    TraceWorkingSet("Full step");
  }

  // The solve stopped before p could enter: p is not part of the result.
  void DropPendingConstraint() {
    A[Active()] = 0;
    u[Active()] = 0.0;
  }

  // --- Updates of the factorisation ---------------------------------------

  void TraceFactors() {
    if (!Tracing()) return;
    if (iq > 0) TraceMatrix("Matrix R", R, n);
    TraceMatrix("Matrix XJ", J, n);
  }

  // Adds the constraint whose d = J'np was computed last: rotates d into
  // its first iq + 1 elements and appends it to R as a new column.
  void AddConstraint() {
    if (Tracing()) {
      TraceLine("");
      TraceLine("Adding new restriction");
    }
    // A further constraint among n active ones cannot be independent, and R
    // has no room for it.
    if (Active() >= n) throw EQPError(std::string(SQPDegenerate));
    const std::size_t first = Active() + 1;
    for (std::size_t j = n - 1; j >= first; --j) {
      double cc = d[j - 1];
      double ss = d[j];
      const double h = Distance(cc, ss);
      if (h == 0.0) continue;
      d[j] = 0.0;
      ss /= h;
      cc /= h;
      if (cc < 0.0) {
        cc = -cc;
        ss = -ss;
        d[j - 1] = -h;
      } else {
        d[j - 1] = h;
      }
      ReflectColumns(j - 1, j, cc, ss, ss / (1.0 + cc));
    }
    ++iq;
    for (std::size_t k = 0; k < Active(); ++k) RAt(k, Active() - 1) = d[k];
    const double diagonal = std::fabs(RAt(Active() - 1, Active() - 1));
    if (diagonal <= kEpsilon * R_norm) throw EQPError(std::string(SQPDegenerate));
    R_norm = std::max(R_norm, diagonal);
    TraceFactors();
  }

  // Removes active inequality AL, shifts the later columns of R left and
  // restores its triangular form.
  void DeleteConstraint(int AL) {
    if (Tracing()) {
      TraceLine("");
      TraceLine("Deleting restriction " + std::to_string(AL));
    }
    std::size_t q = 0;
    for (std::size_t k = mE; k < Active(); ++k)
      if (A[k] == AL) {
        q = k;
        break;
      }
    RemoveFromActiveSet(q);
    if (iq > 0) RetriangulateR(q);
    TraceFactors();
  }

  void RemoveFromActiveSet(std::size_t q) {
    const std::size_t active = Active();
    for (std::size_t k = q; k + 1 < active; ++k) {
      A[k] = A[k + 1];
      u[k] = u[k + 1];
      // Rows from iq on are zero in every column of R.
      std::copy(RCol(k + 1), RCol(k + 1) + active, RCol(k));
    }
    // The entry of the constraint being introduced moves down with the rest.
    A[active - 1] = A[active];
    u[active - 1] = u[active];
    A[active] = 0;
    u[active] = 0.0;
    for (std::size_t k = 0; k < active; ++k) RAt(k, active - 1) = 0.0;
    --iq;
  }

  // Columns q to iq - 1 of R have one element below the diagonal each.
  void RetriangulateR(std::size_t q) {
    const std::size_t active = Active();
    if (q >= active) return;
    for (std::size_t j = q; j < active; ++j) {
      double cc = RAt(j, j);
      double ss = RAt(j + 1, j);
      const double h = Distance(cc, ss);
      if (h == 0.0) continue;
      cc /= h;
      ss /= h;
      RAt(j + 1, j) = 0.0;
      if (cc < 0.0) {
        RAt(j, j) = -h;
        cc = -cc;
        ss = -ss;
      } else {
        RAt(j, j) = h;
      }
      const double xny = ss / (1.0 + cc);
      for (std::size_t k = j + 1; k < active; ++k) {
        const double a = RAt(j, k);
        const double b = RAt(j + 1, k);
        RAt(j, k) = a * cc + b * ss;
        RAt(j + 1, k) = xny * (a + RAt(j, k)) - b;
      }
      ReflectColumns(j, j + 1, cc, ss, xny);
    }
  }
};

}  // namespace

bool SolveQP(TQPMatrix& G, const TQPMatrix& CI, const TQPMatrix& CE, const TFloatArray& g0,
             const TFloatArray& ci0, const TFloatArray& ce0, double& F, TFloatArray& X, TFloatArray& U,
             TIntArray& A, int& IQ) {
  TDualQPSolver solver(G, CI, CE, g0, ci0, ce0, F, X, U, A, IQ);
  return solver.Solve();
}

}  // namespace vt
