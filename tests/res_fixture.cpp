#include "tests/res_fixture.h"

namespace vx70::test {

const res::ModuleResources& Resources() {
  static const std::vector<std::uint8_t> image = res::readFile(VX70_RES_PATH);
  static const res::ModuleResources resources{image};
  return resources;
}

}  // namespace vx70::test
