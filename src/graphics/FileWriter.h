// Writing a whole file so that the target is either the old file or the
// complete new one: the bytes go to a temporary file beside the target,
// which is then renamed over it. A failed save never leaves a half-written
// picture behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/Graphics.h"

namespace vt {

inline constexpr const char* SFileCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* SFileWriteError = "Cannot write file \"%s\". %s";

class EFileWriteError : public EGraphicsError {
 public:
  using EGraphicsError::EGraphicsError;
};

// Replaces (or creates) FileName with Bytes. Raises EFileWriteError with
// SFileCreateError when the temporary file cannot be made, SFileWriteError
// when writing or renaming fails; the target is untouched then.
void WriteFileReplacing(const std::string& FileName, std::span<const std::uint8_t> Bytes);

}  // namespace vt
