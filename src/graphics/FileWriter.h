// Writing a whole picture file the way every file is saved (see
// foundation/ReplacingFile.h): the target is either the old file or the
// complete new one.
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
// SFileCreateError when the temporary file cannot be made (or FileName is a
// folder), SFileWriteError when writing or renaming fails; the target is
// untouched then.
void WriteFileReplacing(const std::string& FileName, std::span<const std::uint8_t> Bytes);

}  // namespace vt
