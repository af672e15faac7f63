// A small reader of .emf bytes for the tests: splits the file into records
// and checks the rules every reader relies on (header counts, objects created
// and selected before drawing, stock objects selected before deleting, the
// background mode set before text).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vt::test {

struct TEmfRecord {
  std::uint32_t Type = 0;
  std::uint32_t Size = 0;
  std::size_t Offset = 0;  // of the record in the file
  const std::uint8_t* Data = nullptr;

  std::uint32_t U32(std::size_t At) const {
    std::uint32_t V;
    std::memcpy(&V, Data + At, 4);
    return V;
  }
  std::int32_t I32(std::size_t At) const { return static_cast<std::int32_t>(U32(At)); }
  std::uint16_t U16(std::size_t At) const {
    std::uint16_t V;
    std::memcpy(&V, Data + At, 2);
    return V;
  }
  std::int16_t I16(std::size_t At) const { return static_cast<std::int16_t>(U16(At)); }
  std::uint8_t U8(std::size_t At) const { return Data[At]; }
  float F32(std::size_t At) const {
    float V;
    std::memcpy(&V, Data + At, 4);
    return V;
  }
  std::vector<std::int32_t> Rect(std::size_t At) const {
    return {I32(At), I32(At + 4), I32(At + 8), I32(At + 12)};
  }
  std::u16string Utf16(std::size_t At, std::size_t Count) const {
    std::u16string S;
    for (std::size_t I = 0; I < Count; ++I) S.push_back(static_cast<char16_t>(U16(At + 2 * I)));
    return S;
  }
};

struct TEmfFile {
  std::vector<TEmfRecord> Records;
  std::vector<std::string> Problems;  // empty when the file is sound

  const TEmfRecord& Header() const { return Records.front(); }
  std::vector<std::uint32_t> Types() const {
    std::vector<std::uint32_t> T;
    for (const TEmfRecord& R : Records) T.push_back(R.Type);
    return T;
  }
  // The records of one type, in order.
  std::vector<TEmfRecord> OfType(std::uint32_t Type) const {
    std::vector<TEmfRecord> Out;
    for (const TEmfRecord& R : Records)
      if (R.Type == Type) Out.push_back(R);
    return Out;
  }
  // Index of the first record of a type from From on, or -1.
  int First(std::uint32_t Type, int From = 0) const {
    for (std::size_t I = std::max(From, 0); I < Records.size(); ++I)
      if (Records[I].Type == Type) return static_cast<int>(I);
    return -1;
  }
};

inline bool IsDrawing(std::uint32_t T) {
  switch (T) {
    case 5:
    case 27:
    case 42:
    case 43:
    case 54:
    case 59:
    case 84:
    case 88:
      return true;
    default:
      return false;
  }
}

inline bool IsCreate(std::uint32_t T) {
  return T == 38 || T == 39 || T == 82 || T == 95;
}

// 0 pen, 1 brush, 2 font.
inline int KindOfCreate(std::uint32_t T) {
  return T == 38 || T == 95 ? 0 : T == 39 ? 1 : 2;
}

inline int KindOfStock(std::uint32_t H) {
  const std::uint32_t Id = H & 0x7FFFFFFF;
  if (Id <= 5) return 1;
  if (Id <= 8) return 0;
  return 2;
}

inline TEmfFile WalkEmf(const std::vector<std::uint8_t>& Bytes) {
  TEmfFile F;
  auto Problem = [&](std::string S) { F.Problems.push_back(std::move(S)); };
  std::size_t At = 0;
  while (At + 8 <= Bytes.size()) {
    TEmfRecord R;
    R.Offset = At;
    R.Data = Bytes.data() + At;
    R.Type = R.U32(0);
    R.Size = R.U32(4);
    if (R.Size < 8 || R.Size % 4 != 0 || At + R.Size > Bytes.size()) {
      Problem("bad record size at " + std::to_string(At));
      return F;
    }
    F.Records.push_back(R);
    At += R.Size;
    if (R.Type == 14) break;
  }
  if (F.Records.empty() || F.Records.front().Type != 1) {
    Problem("no header");
    return F;
  }
  if (F.Records.back().Type != 14) Problem("EOF is not last");
  if (At != Bytes.size()) Problem("bytes after EOF");
  const TEmfRecord& H = F.Header();
  if (H.U32(40) != 0x464D4520) Problem("bad signature");
  if (H.U32(48) != Bytes.size()) Problem("nBytes differs from the size");
  if (H.U32(52) != F.Records.size()) Problem("nRecords differs from the records");

  // Objects.
  std::map<std::uint32_t, int> Live;  // handle -> kind
  std::uint32_t MaxHandle = 0;
  bool Selected[3] = {false, false, false};
  std::uint32_t Current[3] = {0, 0, 0};
  bool BkModeSet = false;
  for (std::size_t I = 1; I < F.Records.size(); ++I) {
    const TEmfRecord& R = F.Records[I];
    const std::string Where = " (record " + std::to_string(I) + ")";
    if (IsCreate(R.Type)) {
      const std::uint32_t Handle = R.U32(8);
      if (Handle == 0) Problem("object handle 0" + Where);
      if (Live.count(Handle)) Problem("handle in use created again" + Where);
      Live[Handle] = KindOfCreate(R.Type);
      MaxHandle = std::max(MaxHandle, Handle);
    } else if (R.Type == 37) {
      const std::uint32_t Handle = R.U32(8);
      int Kind;
      if (Handle & 0x80000000) {
        Kind = KindOfStock(Handle);
      } else {
        auto It = Live.find(Handle);
        if (It == Live.end()) {
          Problem("selecting an unknown object" + Where);
          continue;
        }
        Kind = It->second;
      }
      Selected[Kind] = true;
      Current[Kind] = Handle;
    } else if (R.Type == 40) {
      const std::uint32_t Handle = R.U32(8);
      auto It = Live.find(Handle);
      if (It == Live.end()) {
        Problem("deleting an unknown object" + Where);
        continue;
      }
      if (Current[It->second] == Handle) Problem("deleting a selected object" + Where);
      Live.erase(It);
    } else if (R.Type == 18) {
      if (R.U32(8) == 1) BkModeSet = true;
    } else if (IsDrawing(R.Type)) {
      if (!Selected[0] || !Selected[1] || !Selected[2])
        Problem("drawing before a pen, brush and font are selected" + Where);
      if (R.Type == 84 && !BkModeSet) Problem("text before SETBKMODE TRANSPARENT" + Where);
    }
  }
  if (!Live.empty()) Problem("objects left undeleted");
  if (H.U16(56) != MaxHandle + 1) Problem("nHandles is not the largest handle + 1");
  return F;
}

}  // namespace vt::test
