// A full disk for the tests: while a TFileSizeLimit lives, the process may
// not write files beyond Bytes, and a write past it fails with "File too
// large" instead of ending the process.
#pragma once

#include <sys/resource.h>

#include <csignal>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FSaved);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = FSaved;
    Small.rlim_cur = Bytes;
    FActive = ::setrlimit(RLIMIT_FSIZE, &Small) == 0;
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FOldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  // Whether the limit could be set.
  bool Active() const { return FActive; }

 private:
  struct rlimit FSaved {};
  void (*FOldHandler)(int) = nullptr;
  bool FActive = false;
};
