#include "tests/support/res_fixture.h"

#include <strings.h>

namespace vx70::test {

const res::ModuleResources& Resources() {
  static const std::vector<std::uint8_t> image = res::readFile(VX70_RES_PATH);
  static const res::ModuleResources resources{image};
  return resources;
}

bool SameClass(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace vx70::test
