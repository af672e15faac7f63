// Dual active-set solver (Goldfarb and Idnani) for strictly convex quadratic
// programs:
//
//   minimise  1/2 x'Gx + g0'x   subject to  CE'x + ce0 = 0,  CI'x + ci0 >= 0
//
// G is n x n, CE n x mE and CI n x mI; column j of CE or CI holds the
// coefficients of constraint j. The lengths of g0, ce0 and ci0 define n, mE
// and mI.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "layout/Arrays.h"

namespace vt {

inline constexpr std::string_view SQPNullHessian = "Null Hessian matrix";
inline constexpr std::string_view SQPNotPositiveDefinite = "The Hessian matrix is not positive definite";
inline constexpr std::string_view SQPDegenerate = "Problem is degenerate";

// Receives the solver's diagnostic trace one line at a time; an empty string
// is a blank line. Unset by default, and then no trace text is built at all.
using TQPTraceProc = std::function<void(const std::string& ALine)>;
extern TQPTraceProc QPTrace;
// printf-style formats of the trace: an index, a float element, an integer
// element of the active set.
extern std::string QPIndexFormat;  // "%10d. "
extern std::string QPFloatFormat;  // " %9.2g"
extern std::string QPIntFormat;    // " %9d"

// Solves the program above.
//
// Results: F the objective at X; X the solution (n values); U (mE + mI) the
// multipliers of the active constraints in active-set order, 0 beyond; A
// (mE + mI) the active set in order of entry, an equality as -1 and an
// inequality by its number counted from 1, 0 beyond; IQ the number of active
// constraints. On return G holds the Cholesky factor U (G = U'U) in its upper
// triangle, diagonal included; its strict lower triangle keeps the given
// values, which are the ones read, so G must be symmetric. The other inputs
// are only read.
//
// Returns true when the constraints are met (within the solver's tolerance)
// and X is the minimum; false when the inequalities cannot be satisfied: the
// solve then stops at the first point where no step is possible and returns
// that point with its active set.
//
// Raises EQPError for an empty g0, inputs of the wrong shape, a G that is not
// positive definite, and a constraint that depends linearly on the active ones
// (including more equality constraints than variables).
bool SolveQP(TQPMatrix& G, const TQPMatrix& CI, const TQPMatrix& CE, const TFloatArray& g0,
             const TFloatArray& ci0, const TFloatArray& ce0, double& F, TFloatArray& X, TFloatArray& U,
             TIntArray& A, int& IQ);

}  // namespace vt
