// A demonstration company made by `vx70 init --demo` in a folder of its
// own under the temporary directory, removed with it: what every benchmark
// measures on.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vx70::bench {

class DemoCompany {
 public:
  DemoCompany() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx70-bench-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    const std::string init =
        std::string(VX70_PROGRAM_PATH) + " init '" + dir() + "' --demo >/dev/null";
    if (std::system(init.c_str()) != 0) std::abort();
  }
  ~DemoCompany() { std::filesystem::remove_all(root_); }
  DemoCompany(const DemoCompany&) = delete;
  DemoCompany& operator=(const DemoCompany&) = delete;

  // The folder that holds the company and whatever else a benchmark needs.
  const std::string& root() const { return root_; }
  std::string dir() const { return root_ + "/company"; }

 private:
  std::string root_;
};

}  // namespace vx70::bench
