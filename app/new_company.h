// A company that a command is making (vx70 init, vx70 copy): refused when
// its place already holds one, and removed again unless the command
// finishes it, so that the command can simply be run again.
#pragma once

#include <string>

#include "host/data/backend.h"

namespace vx70::app {

class NewCompany {
 public:
  // Makes the empty company at location (a folder, made private to its
  // owner when this makes it, or a company on a server); `command` names
  // the command in messages.  Throws when location holds a company.
  NewCompany(const std::string& command, const std::string& location);
  ~NewCompany();
  NewCompany(const NewCompany&) = delete;
  NewCompany& operator=(const NewCompany&) = delete;

  const data::CompanyAddress& address() const { return address_; }
  // The company as the command reports it: its folder, or its address
  // without a password.
  std::string shownName() const;
  // The company is complete: it stays.
  void keep() { kept_ = true; }

 private:
  void discard() noexcept;

  data::CompanyAddress address_;
  const data::Backend& backend_;
  bool madeFolder_ = false;
  bool madeCompany_ = false;
  bool kept_ = false;
};

}  // namespace vx70::app
