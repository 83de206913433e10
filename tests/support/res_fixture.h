// The module's compiled resources (build/frame/vx70def.res), parsed once
// for every test that reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/loader/resources.h"

namespace vx70::test {

const res::ModuleResources& Resources();

// Window class names compare without regard to case, as Windows does.
bool SameClass(const std::string& a, const std::string& b);

}  // namespace vx70::test
