// What `--data` names: a folder, or a company on a PostgreSQL server whose
// address never shows its password in a message.
#include <gtest/gtest.h>

#include <string>

#include "host/data/backend.h"
#include "host/data/company.h"

namespace vx70::test {
namespace {

using data::CompanyAddress;

struct AddressCase {
  const char* text;
  CompanyAddress::Kind kind;
  const char* connection;  // what libpq is given
  const char* company;
  const char* shown;  // what messages say
};

TEST(CompanyAddressTest, FoldersAndServerAddressesAreToldApart) {
  const AddressCase cases[] = {
      {"/srv/acme", CompanyAddress::Kind::folder, "", "", "/srv/acme"},
      {"postgres-data", CompanyAddress::Kind::folder, "", "", "postgres-data"},
      {"postgresql://db.example/books?company=acme", CompanyAddress::Kind::postgres,
       "postgresql://db.example/books", "acme", "postgresql://db.example/books?company=acme"},
      {"postgres://ann:s3cret@db:5433/books?sslmode=require&company=acme_2",
       CompanyAddress::Kind::postgres, "postgres://ann:s3cret@db:5433/books?sslmode=require",
       "acme_2", "postgres://ann@db:5433/books?sslmode=require&company=acme_2"},
      {"postgresql:///books?company=x&password=s3cret&host=/run/pg", CompanyAddress::Kind::postgres,
       "postgresql:///books?password=s3cret&host=/run/pg", "x",
       "postgresql:///books?host=/run/pg&company=x"},
  };
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.text);
    const CompanyAddress address = CompanyAddress::parse(c.text);
    EXPECT_EQ(address.kind, c.kind);
    EXPECT_EQ(address.connection, c.connection);
    EXPECT_EQ(address.company, c.company);
    EXPECT_EQ(address.shown(), c.shown);
    EXPECT_EQ(address.shown().find("s3cret"), std::string::npos);
  }
}

TEST(CompanyAddressTest, AServerAddressMustNameAPlainCompany) {
  const std::pair<const char*, const char*> refused[] = {
      {"postgresql://ann:s3cret@db/books", "names no company"},
      {"postgresql://db/books?company=", "names no company"},
      {"postgresql://ann:s3cret@db/books?company=Acme", "cannot name a company"},
      {"postgresql://db/books?company=a;drop", "cannot name a company"},
      {"postgresql://db/books?company=pg_catalog", "cannot name a company"},
      {"postgresql://db/books?company=1st", "cannot name a company"},
  };
  for (auto [text, why] : refused) {
    SCOPED_TRACE(text);
    try {
      CompanyAddress::parse(text);
      ADD_FAILURE() << "accepted";
    } catch (const data::DataError& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find("s3cret"), std::string::npos) << e.what();
    }
  }
}

// A server's company keeps the station's own files on this machine, one
// folder a server, database and company, under the user's data folder.
TEST(CompanyAddressTest, AServerCompanyHasAFolderOfItsOwnOnThisMachine) {
  setenv("XDG_DATA_HOME", "/home/ann/.data", 1);
  EXPECT_EQ(CompanyAddress::parse("postgresql://ann:pw@db.example:5433/books?company=acme").folder,
            "/home/ann/.data/vx70/db.example_5433/books/acme");
  EXPECT_EQ(CompanyAddress::parse("postgresql:///books?company=acme").folder,
            "/home/ann/.data/vx70/localhost/books/acme");
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace vx70::test
