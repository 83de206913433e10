// The PostgreSQL backend: a company is a schema of a database, and a
// station's store and locks share one connection to it.
#include "host/data/backend.h"
#include "host/data/company.h"
#include "host/data/pg_connection.h"
#include "host/data/pg_locks.h"
#include "host/data/pg_store.h"

namespace vx70::data {

namespace {

class PostgresBackend final : public Backend {
 public:
  bool exists(const CompanyAddress& address) const override {
    PgConnection connection(address);
    return PgStore::exists(connection);
  }
  void create(const CompanyAddress& address) const override {
    PgConnection connection(address);
    PgStore::create(connection);
  }
  void remove(const CompanyAddress& address) const override {
    PgConnection connection(address);
    PgStore::drop(connection);
  }
  std::unique_ptr<Store> openStore(const CompanyAddress& address,
                                   Store::Access access) const override {
    return std::make_unique<PgStore>(std::make_shared<PgConnection>(address), access);
  }
  Station openStation(const CompanyAddress& address) const override {
    auto connection = std::make_shared<PgConnection>(address);
    auto store = std::make_unique<PgStore>(connection, Store::Access::readWrite);
    if (store->readOnly())
      throw DataError(store->path() +
                      ": the company is read-only, so no station can work on it "
                      "(vx70 show can still read it)");
    auto locks = std::make_unique<PgLocks>(connection, store->lockSpace());
    return {std::move(store), std::move(locks)};
  }
};

}  // namespace

const Backend& postgresBackend() {
  static const PostgresBackend backend;
  return backend;
}

}  // namespace vx70::data
