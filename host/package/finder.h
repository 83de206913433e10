// The account finder (DoPopup): it offers the company's nominal accounts,
// or only its bank accounts, and the person picks one of them.  Searching
// the list by code or name is the front end's business.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace vx70::package {

// True when the finder's question (its "finder" event, UTF-8) offers the
// code (UTF-8, as a front end gives it).
bool finderOffers(const nlohmann::json& finder, const std::string& code);

}  // namespace vx70::package
