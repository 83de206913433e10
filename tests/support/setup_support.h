// What the tests of the dialogs that keep the setup record share: the
// record as stored and stored anew (and compared byte for byte), a text put
// into one of its fixed fields, a packed field read by value, and users.
#pragma once

#include <cstddef>
#include <cstring>

#include "api/records.h"
#include "tests/support/drive_support.h"

namespace vx70::test {

// A packed record's field by value: gtest binds its arguments to references.
template <class T>
T copy(T value) {
  return value;
}

// The text in a fixed field, the rest of the field zeros.
template <std::size_t N>
void setText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::strncpy(field, text, N - 1);
}

inline setupmap storedSetup(const TestCompany& co) { return co.stored<setupmap>(DF_SETUP, 1); }
inline void storeSetup(const TestCompany& co, const setupmap& s) { co.store(DF_SETUP, 1, &s); }

// Names the first byte where the stored record differs from the expected
// one, to point at a field that moved by accident.
inline void expectSameRecord(const setupmap& expected, const setupmap& stored) {
  auto* x = reinterpret_cast<const unsigned char*>(&expected);
  auto* y = reinterpret_cast<const unsigned char*>(&stored);
  for (std::size_t i = 0; i < sizeof expected; ++i)
    if (x[i] != y[i]) {
      ADD_FAILURE() << "the records differ first at offset " << i;
      return;
    }
}

// The run told the other stations once, with that notice.
inline void expectOneNotice(const DriveRun& run, int code, int flag) {
  auto sent = run.all("update-sent");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["code"], code);
  EXPECT_EQ(sent[0]["flag"], flag);
}

// Stores user n (from 1) as a copy of the manager's record under another
// name, with that password field when one is given (in its stored form).
inline void storeUser(const TestCompany& co, unsigned n, const char* name,
                      const char* password = nullptr) {
  accessmap user = co.stored<accessmap>(DF_USERS, 1);
  setText(user.logonName, name);
  if (password) std::memcpy(user.password, password, sizeof user.password);
  co.store(DF_USERS, n, &user);
}

}  // namespace vx70::test
