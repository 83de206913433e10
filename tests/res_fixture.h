// The module's compiled resources (build/frame/vx70def.res), parsed once
// for every resource test.
#pragma once

#include "host/resources.h"

namespace vx70::test {

const res::ModuleResources& Resources();

}  // namespace vx70::test
