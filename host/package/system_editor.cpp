#include "host/package/system_editor.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/win32/profile.h"

namespace vx70::package {
namespace {

namespace fs = std::filesystem;

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::absolute(a, error).lexically_normal() == fs::absolute(b, error).lexically_normal();
}

// Where each file lives: the package INI where GetINI says, the others by
// name in the station's INI folder, as the profile calls find them.  A
// name that the profile calls take for a file already listed (VEXA.INI is
// the package INI) adds no second tab for it.
std::vector<std::string> editorPaths() {
  std::vector<std::string> paths;
  for (const std::string& path :
       {std::string(GetINI()), win::profileFilePath("VEXA.INI"), win::profileFilePath("WIN.INI")}) {
    if (std::none_of(paths.begin(), paths.end(),
                     [&](const std::string& seen) { return sameFile(seen, path); }))
      paths.push_back(path);
  }
  return paths;
}

bool readWhole(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

std::string withoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

std::string withLineEnds(const std::string& text, bool crlf) {
  if (!crlf) return text;
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

std::vector<SystemFile> systemEditorFiles() {
  std::vector<SystemFile> files;
  for (const std::string& path : editorPaths()) {
    SystemFile file{fs::path(path).filename().string(), path, "", false};
    std::string content;
    if (readWhole(path, content)) {
      file.exists = true;
      file.text = codepage::toUtf8(withoutCarriageReturns(content));
    }
    files.push_back(std::move(file));
  }
  return files;
}

void saveSystemEditorFile(const std::string& name, const std::string& text) {
  for (const std::string& path : editorPaths()) {
    if (strcasecmp(fs::path(path).filename().c_str(), name.c_str()) != 0) continue;
    std::string old;
    const bool crlf = readWhole(path, old) && old.find("\r\n") != std::string::npos;
    std::string content;
    try {
      content = codepage::fromUtf8(withoutCarriageReturns(text));
    } catch (const codepage::TextError& e) {
      throw std::runtime_error(name + ": " + e.what());
    }
    win::replaceProfileFile(path, withLineEnds(content, crlf));
    return;
  }
  throw std::runtime_error("the system editor has no file \"" + codepage::validUtf8(name) + "\"");
}

}  // namespace vx70::package
