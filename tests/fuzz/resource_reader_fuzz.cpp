// libFuzzer target for the resource reader: the input is read both as a
// whole .res image (every resource in it parsed by its type) and, after a
// selector byte, as one description resource of a chosen type.  Any input
// must give a result or a ResourceError; the sanitizers catch the rest.
#include <cstddef>
#include <cstdint>

#include "host/loader/resources.h"

namespace {

using namespace vx70::res;

void parseByType(const std::string& type, Bytes data, std::uint16_t id) {
  if (type == "5") parseDialog(data, id);
  if (type == "DENTRY") parseDEntry(data, id);
  if (type == "CENTRY") parseCEntry(data, id);
  if (type == "MENTRY") parseMEntry(data, id);
  if (type == "TENTRY") parseTEntry(data, id);
  if (type == "GRID") parseGrid(data, id);
  if (type == "GRIDBITMAP") parseGridBitmap(data, id);
}

void asImage(Bytes data) {
  try {
    ResourceFile file = ResourceFile::parse(data);
    for (const auto& r : file.all()) {
      try {
        parseByType(r.type.str(), r.data, r.name.ordinal);
      } catch (const ResourceError&) {
      }
    }
    for (std::uint16_t id : {std::uint16_t{1009}, std::uint16_t{1049}, std::uint16_t{1094}})
      (void)file.string(id);
  } catch (const ResourceError&) {
  }
}

void asOneResource(Bytes data) {
  static const char* const kTypes[] = {"5",      "DENTRY", "CENTRY",    "MENTRY",
                                       "TENTRY", "GRID",   "GRIDBITMAP"};
  if (data.empty()) return;
  const char* type = kTypes[data[0] % std::size(kTypes)];
  try {
    parseByType(type, data.subspan(1), 1);
  } catch (const ResourceError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, size);
  asImage(bytes);
  asOneResource(bytes);
  return 0;
}
