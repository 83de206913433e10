// Loading a module library as the package's host does: map it, call its
// entry with the process-attach reason, resolve its exports by ordinal or
// by name, and read its resources.  Unloading calls the entry with the
// process-detach reason before the library is unmapped.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "api/module_abi.h"
#include "host/loader/resources.h"

namespace vx70 {

class ModuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Module {
 public:
  // Loads the library at path as module `number`; throws ModuleError when
  // the file is no module or its entry refuses to attach.
  static std::unique_ptr<Module> load(const std::string& path, int number);
  // A module whose image is already in this process (the host's own
  // dialogs, tests); the image and its resources must outlive the module.
  static std::unique_ptr<Module> fromImage(const VX70ModuleImage& image, int number,
                                           const std::string& name);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  int number() const { return number_; }
  const std::string& path() const { return path_; }
  HINSTANCE instance() const;
  static Module* fromInstance(HINSTANCE instance);

  // nullptr when the module exports no such ordinal or name.
  void* procAddress(std::uint16_t ordinal) const;
  void* procAddress(std::string_view name) const;
  DialogHandler handler(std::uint16_t ordinal) const;
  const std::vector<VX70Export>& exports() const { return exports_; }

  const res::ModuleResources& resources() const { return *resources_; }

 private:
  Module() = default;
  void attach();

  void* library_ = nullptr;
  int number_ = 0;
  std::string path_;
  std::vector<VX70Export> exports_;
  std::unique_ptr<res::ModuleResources> resources_;
  DllEntry entry_ = nullptr;
};

// Where the vx70def module lies: $VX70_MODULE when set, else beside the
// running program.
std::string defaultModulePath();

inline constexpr int kDefaultsModuleNumber = 15;

}  // namespace vx70
