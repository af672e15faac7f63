// Saving a file so that its name holds either the old file or the complete
// new one, never a part: the bytes go to a temporary file in the target's
// folder, which is renamed over the target once it is written and synced.
// Every file the program saves goes this way.
//
// - The temporary name fits the system's name limits whatever the target's
//   length, and is made with exclusive creation, so two saves never share
//   one.
// - A symbolic link is kept: the file behind it is the one replaced.
// - The old file's permissions are kept.
// - A failed save removes its temporary file and leaves the target as it
//   was.
#pragma once

#include <string>
#include <string_view>

#include "foundation/Base.h"

namespace vt {

// A failed step of a replacing save: Creating when the temporary file could
// not be made (or the target is a folder), else writing, syncing or
// renaming failed; Reason is the system's text for the error.
class EReplacingFileError : public Exception {
 public:
  EReplacingFileError(bool ACreating, std::string AReason)
      : Exception(AReason), FCreating(ACreating), FReason(std::move(AReason)) {}
  bool Creating() const { return FCreating; }
  const std::string& Reason() const { return FReason; }

 private:
  bool FCreating;
  std::string FReason;
};

class TReplacingFile {
 public:
  // Opens the temporary file for FileName.
  explicit TReplacingFile(const std::string& FileName);
  // Removes the temporary file unless committed.
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  void Write(std::string_view Data);
  // Syncs, closes and renames the temporary file over the target.
  void Commit();

 private:
  [[noreturn]] void Fail(int Error) const;

  std::string FTarget;
  std::string FTemp;
  int FHandle = -1;
  bool FCommitted = false;
};

}  // namespace vt
