#include "host/data/backend.h"
#include "host/data/company.h"

namespace vx70::data {

const Backend& postgresBackend() {
  throw DataError("PostgreSQL companies are not built into this program");
}

}  // namespace vx70::data
