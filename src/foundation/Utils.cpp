#include "foundation/Utils.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <system_error>

#include "foundation/Base.h"

namespace vt {

// ---------------------------------------------------------------------------
// Floating-point tolerance.

double GetFloatTolerance() {
  return FloatTolerance;
}

bool FloatEqual(double A, double B) {
  return std::fabs(A - B) < FloatTolerance;
}

bool SameFloat(double A, double B) {
  const double Epsilon = std::max(std::min(std::fabs(A), std::fabs(B)) * 1e-12, 1e-12);
  return std::fabs(A - B) <= Epsilon;
}

// ---------------------------------------------------------------------------
// UTF-8.

namespace {

constexpr char32_t Replacement = 0xFFFD;

bool IsContinuation(unsigned char C) {
  return (C & 0xC0) == 0x80;
}

// Decodes the character starting at S[Pos]; Len receives the number of bytes
// it takes (1 for an invalid byte, which decodes to U+FFFD).
char32_t DecodeAt(std::string_view S, size_t Pos, size_t& Len) {
  const auto B0 = static_cast<unsigned char>(S[Pos]);
  Len = 1;
  if (B0 < 0x80) return B0;
  size_t Need;
  char32_t Cp;
  char32_t Min;
  if ((B0 & 0xE0) == 0xC0) {
    Need = 1, Cp = B0 & 0x1F, Min = 0x80;
  } else if ((B0 & 0xF0) == 0xE0) {
    Need = 2, Cp = B0 & 0x0F, Min = 0x800;
  } else if ((B0 & 0xF8) == 0xF0) {
    Need = 3, Cp = B0 & 0x07, Min = 0x10000;
  } else {
    return Replacement;
  }
  if (Pos + Need >= S.size()) return Replacement;
  for (size_t K = 1; K <= Need; ++K) {
    const auto B = static_cast<unsigned char>(S[Pos + K]);
    if (!IsContinuation(B)) return Replacement;
    Cp = (Cp << 6) | (B & 0x3F);
  }
  if (Cp < Min || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return Replacement;
  Len = Need + 1;
  return Cp;
}

// Byte offset of the character at 0-based character index N (S.size() when
// S has fewer characters).
size_t ByteOffset(std::string_view S, int N) {
  size_t Pos = 0;
  for (int I = 0; I < N && Pos < S.size(); ++I) {
    size_t Len;
    DecodeAt(S, Pos, Len);
    Pos += Len;
  }
  return Pos;
}

// Maps every character of S through F, keeping invalid bytes as they are.
template <typename Fn>
std::string MapChars(std::string_view S, Fn F) {
  std::string Out;
  Out.reserve(S.size());
  size_t Pos = 0;
  while (Pos < S.size()) {
    size_t Len;
    const char32_t Cp = DecodeAt(S, Pos, Len);
    if (Cp == Replacement && Len == 1 && static_cast<unsigned char>(S[Pos]) >= 0x80)
      Out += S[Pos];
    else
      AppendUtf8(Out, F(Cp));
    Pos += Len;
  }
  return Out;
}

bool IsTrimmed(char C) {
  return static_cast<unsigned char>(C) <= 32;
}

}  // namespace

void AppendUtf8(std::string& Out, char32_t Cp) {
  if (Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) Cp = Replacement;
  if (Cp < 0x80) {
    Out += static_cast<char>(Cp);
  } else if (Cp < 0x800) {
    Out += static_cast<char>(0xC0 | (Cp >> 6));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    Out += static_cast<char>(0xE0 | (Cp >> 12));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Cp >> 18));
    Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  }
}

std::u32string Utf8ToUtf32(std::string_view S) {
  std::u32string Out;
  Out.reserve(S.size());
  size_t Pos = 0;
  while (Pos < S.size()) {
    size_t Len;
    Out += DecodeAt(S, Pos, Len);
    Pos += Len;
  }
  return Out;
}

std::string Utf32ToUtf8(std::u32string_view S) {
  std::string Out;
  Out.reserve(S.size());
  for (char32_t Cp : S) AppendUtf8(Out, Cp);
  return Out;
}

std::string CharToUtf8(char32_t Ch) {
  std::string Out;
  AppendUtf8(Out, Ch);
  return Out;
}

int Utf8Length(std::string_view S) {
  int N = 0;
  size_t Pos = 0;
  while (Pos < S.size()) {
    size_t Len;
    DecodeAt(S, Pos, Len);
    Pos += Len;
    ++N;
  }
  return N;
}

// ---------------------------------------------------------------------------
// Case rules.

char32_t AnsiUpperChar(char32_t Ch) {
  if (Ch < 0x80) return (Ch >= 'a' && Ch <= 'z') ? Ch - 32 : Ch;
  if (Ch < 0x100) {
    if (Ch >= 0xE0 && Ch <= 0xFE && Ch != 0xF7) return Ch - 32;
    if (Ch == 0xFF) return 0x178;
    return Ch;  // ß and µ have no single-character upper case here
  }
  if (Ch <= 0x17F) {
    if (Ch == 0x131) return 'I';  // dotless i
    if (Ch == 0x17F) return 'S';  // long s
    if ((Ch >= 0x100 && Ch <= 0x12F) || (Ch >= 0x132 && Ch <= 0x137) || (Ch >= 0x14A && Ch <= 0x177))
      return (Ch & 1) ? Ch - 1 : Ch;
    if ((Ch >= 0x139 && Ch <= 0x148) || (Ch >= 0x179 && Ch <= 0x17E)) return (Ch & 1) ? Ch : Ch - 1;
    return Ch;
  }
  // Greek.
  if (Ch >= 0x3B1 && Ch <= 0x3C9 && Ch != 0x3C2) return Ch - 32;
  if (Ch == 0x3C2) return 0x3A3;  // final sigma
  if (Ch == 0x3AC) return 0x386;
  if (Ch >= 0x3AD && Ch <= 0x3AF) return Ch - 37;
  if (Ch == 0x3CC) return 0x38C;
  if (Ch == 0x3CD || Ch == 0x3CE) return Ch - 63;
  // Cyrillic.
  if (Ch >= 0x430 && Ch <= 0x44F) return Ch - 32;
  if (Ch >= 0x450 && Ch <= 0x45F) return Ch - 80;
  return Ch;
}

char32_t AnsiLowerChar(char32_t Ch) {
  if (Ch < 0x80) return (Ch >= 'A' && Ch <= 'Z') ? Ch + 32 : Ch;
  if (Ch < 0x100) {
    if (Ch >= 0xC0 && Ch <= 0xDE && Ch != 0xD7) return Ch + 32;
    return Ch;
  }
  if (Ch <= 0x17F) {
    if (Ch == 0x130) return 'i';  // dotted capital I
    if (Ch == 0x178) return 0xFF;
    if ((Ch >= 0x100 && Ch <= 0x12F) || (Ch >= 0x132 && Ch <= 0x137) || (Ch >= 0x14A && Ch <= 0x177))
      return (Ch & 1) ? Ch : Ch + 1;
    if ((Ch >= 0x139 && Ch <= 0x148) || (Ch >= 0x179 && Ch <= 0x17E)) return (Ch & 1) ? Ch + 1 : Ch;
    return Ch;
  }
  // Greek.
  if (Ch >= 0x391 && Ch <= 0x3A9 && Ch != 0x3A2) return Ch + 32;
  if (Ch == 0x386) return 0x3AC;
  if (Ch >= 0x388 && Ch <= 0x38A) return Ch + 37;
  if (Ch == 0x38C) return 0x3CC;
  if (Ch == 0x38E || Ch == 0x38F) return Ch + 63;
  // Cyrillic.
  if (Ch >= 0x410 && Ch <= 0x42F) return Ch + 32;
  if (Ch >= 0x400 && Ch <= 0x40F) return Ch + 80;
  return Ch;
}

std::string AnsiUpperCase(std::string_view S) {
  return MapChars(S, AnsiUpperChar);
}

std::string AnsiLowerCase(std::string_view S) {
  return MapChars(S, AnsiLowerChar);
}

namespace {

// Compares character by character; invalid bytes compare as U+FFFD followed
// by their byte value, so that different texts never compare equal.
template <typename Fold>
int CompareChars(std::string_view S1, std::string_view S2, Fold F) {
  size_t P1 = 0, P2 = 0;
  while (P1 < S1.size() && P2 < S2.size()) {
    size_t L1, L2;
    char32_t C1 = DecodeAt(S1, P1, L1);
    char32_t C2 = DecodeAt(S2, P2, L2);
    C1 = F(C1);
    C2 = F(C2);
    if (C1 != C2) return C1 < C2 ? -1 : 1;
    if (C1 == Replacement && S1[P1] != S2[P2]) {
      const auto B1 = static_cast<unsigned char>(S1[P1]);
      const auto B2 = static_cast<unsigned char>(S2[P2]);
      return B1 < B2 ? -1 : 1;
    }
    P1 += L1;
    P2 += L2;
  }
  if (P1 < S1.size()) return 1;
  if (P2 < S2.size()) return -1;
  return 0;
}

}  // namespace

int AnsiCompareText(std::string_view S1, std::string_view S2) {
  return CompareChars(S1, S2, AnsiUpperChar);
}

bool AnsiSameText(std::string_view S1, std::string_view S2) {
  return AnsiCompareText(S1, S2) == 0;
}

int AnsiCompareStr(std::string_view S1, std::string_view S2) {
  return CompareChars(S1, S2, [](char32_t C) { return C; });
}

std::string UpperCase(std::string_view S) {
  std::string Out(S);
  for (char& C : Out)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
  return Out;
}

std::string LowerCase(std::string_view S) {
  std::string Out(S);
  for (char& C : Out)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C + 32);
  return Out;
}

// ---------------------------------------------------------------------------
// Trimming.

std::string Trim(std::string_view S) {
  return TrimLeft(TrimRight(S));
}

std::string TrimLeft(std::string_view S) {
  size_t B = 0;
  while (B < S.size() && IsTrimmed(S[B])) ++B;
  return std::string(S.substr(B));
}

std::string TrimRight(std::string_view S) {
  size_t E = S.size();
  while (E > 0 && IsTrimmed(S[E - 1])) --E;
  return std::string(S.substr(0, E));
}

// ---------------------------------------------------------------------------
// Pieces of strings.

std::string LeftStr(std::string_view S, int N) {
  if (N <= 0) return {};
  return std::string(S.substr(0, ByteOffset(S, N)));
}

std::string RestStr(std::string_view S, int P) {
  if (P < 1) P = 1;
  return std::string(S.substr(ByteOffset(S, P - 1)));
}

std::string MidStr(std::string_view S, int P, int Q) {
  if (P < 1) P = 1;
  if (Q < P) return {};
  const size_t B = ByteOffset(S, P - 1);
  const std::string_view Rest = S.substr(B);
  return std::string(Rest.substr(0, ByteOffset(Rest, Q - P + 1)));
}

char32_t CharAt(std::string_view S, int P) {
  if (P < 1) return 0;
  const size_t B = ByteOffset(S, P - 1);
  if (B >= S.size()) return 0;
  size_t Len;
  return DecodeAt(S, B, Len);
}

std::string Excerpt(std::string_view S, int MaxChars) {
  const size_t Cut = ByteOffset(S, std::max(MaxChars, 0));
  if (Cut >= S.size()) return std::string(S);
  return std::string(S.substr(0, Cut)) + "\u2026";
}

int CountChar(std::string_view S, char32_t Ch) {
  int N = 0;
  size_t Pos = 0;
  while (Pos < S.size()) {
    size_t Len;
    if (DecodeAt(S, Pos, Len) == Ch) ++N;
    Pos += Len;
  }
  return N;
}

std::string RepeatChar(char32_t Ch, int N) {
  std::string Out;
  if (N <= 0) return Out;
  const std::string One = CharToUtf8(Ch);
  Out.reserve(One.size() * static_cast<size_t>(N));
  for (int I = 0; I < N; ++I) Out += One;
  return Out;
}

std::string ReplaceChar(std::string_view S, char32_t Ch1, char32_t Ch2) {
  return MapChars(S, [Ch1, Ch2](char32_t C) { return C == Ch1 ? Ch2 : C; });
}

std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New) {
  if (Old.empty()) return std::string(S);
  std::string Out;
  size_t From = 0;
  for (size_t At = S.find(Old); At != std::string_view::npos; At = S.find(Old, From)) {
    Out.append(S.substr(From, At - From));
    Out.append(New);
    From = At + Old.size();
  }
  Out.append(S.substr(From));
  return Out;
}

std::string BeforeStr(std::string_view S, std::string_view Sub) {
  const size_t At = S.find(Sub);
  return std::string(At == std::string_view::npos ? S : S.substr(0, At));
}

std::string AfterStr(std::string_view S, std::string_view Sub) {
  const size_t At = S.find(Sub);
  return std::string(At == std::string_view::npos ? S : S.substr(At + Sub.size()));
}

// ---------------------------------------------------------------------------
// File names.

std::string DefaultExt(std::string_view FileName, std::string_view Ext) {
  const size_t Dot = FileName.rfind('.');
  const size_t Slash = FileName.find_last_of("/\\");
  const bool HasExt = Dot != std::string_view::npos && (Slash == std::string_view::npos || Dot > Slash);
  std::string Out(FileName);
  if (!HasExt) Out.append(Ext);
  return Out;
}

// ---------------------------------------------------------------------------
// Splitting.

void SplitFirstWord(std::string& S, std::string& First) {
  S = Trim(S);
  const size_t Blank = S.find(' ');
  if (Blank == std::string::npos) {
    First = std::move(S);
    S.clear();
  } else {
    First = S.substr(0, Blank);
    S.erase(0, Blank + 1);
  }
}

void SplitFirst(std::string& S, std::string_view Sep, std::string& First) {
  if (Sep.empty()) {
    SplitFirstWord(S, First);
    return;
  }
  const size_t At = S.find(Sep);
  if (At == std::string::npos) {
    First = std::move(S);
    S.clear();
  } else {
    First = S.substr(0, At);
    S.erase(0, At + Sep.size());
  }
}

void SplitNext(std::string& S, char32_t Sep, std::string& First) {
  SplitFirst(S, CharToUtf8(Sep), First);
}

void SwapInt(int& A, int& B) {
  std::swap(A, B);
}

// ---------------------------------------------------------------------------
// Messages.

std::string UserMessage(const std::exception& E) {
  // Wide enough for a message naming a long file path; a message quoting
  // megabytes of input is cut line by line.
  constexpr int MaxLine = 1000;
  if (dynamic_cast<const std::bad_alloc*>(&E)) return "Out of memory";
  std::string Message = dynamic_cast<const Exception*>(&E) || dynamic_cast<const std::system_error*>(&E)
                            ? std::string(E.what())
                            : "Internal error: " + std::string(E.what());
  std::string Out;
  std::string_view Rest = Message;
  while (true) {
    const size_t End = Rest.find('\n');
    Out += Excerpt(Rest.substr(0, End), MaxLine);
    if (End == std::string_view::npos) break;
    Out += '\n';
    Rest.remove_prefix(End + 1);
  }
  return Out;
}

}  // namespace vt
