#pragma once

#include <sys/resource.h>

namespace torvel::test {

// While it lives, the process cannot open any further file, as when another program holds a file
// locked: every open fails, whoever the user is (root included).
class TNoFileOpens {
 public:
  TNoFileOpens() {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    struct rlimit limit = saved_;
    limit.rlim_cur = 0;
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
  ~TNoFileOpens() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
  TNoFileOpens(const TNoFileOpens&) = delete;
  TNoFileOpens& operator=(const TNoFileOpens&) = delete;

 private:
  struct rlimit saved_ {};
};

}  // namespace torvel::test
