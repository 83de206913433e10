#include "host/loader/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace vx70 {

namespace {

void adoptImage(const VX70ModuleImage* img, const std::string& path,
                std::vector<VX70Export>& exports,
                std::unique_ptr<res::ModuleResources>& resources) {
  if (!img || (!img->exports && img->exportCount) || (!img->resources && img->resourceSize))
    throw ModuleError(path + ": the module describes no image");
  exports.assign(img->exports, img->exports + img->exportCount);
  try {
    resources =
        std::make_unique<res::ModuleResources>(res::Bytes(img->resources, img->resourceSize));
  } catch (const res::ResourceError& e) {
    throw ModuleError(path + ": damaged resources: " + e.what());
  }
}

}  // namespace

std::unique_ptr<Module> Module::load(const std::string& path, int number) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) throw ModuleError("cannot load module " + path + ": " + dlerror());

  std::unique_ptr<Module> module(new Module);
  module->library_ = library;
  module->number_ = number;
  module->path_ = path;

  auto image = reinterpret_cast<VX70GetModuleImageFn>(dlsym(library, kModuleImageSymbol));
  if (!image) throw ModuleError(path + " is not a vx70 module (no " + kModuleImageSymbol + ")");
  adoptImage(image(), path, module->exports_, module->resources_);
  module->attach();
  return module;
}

std::unique_ptr<Module> Module::fromImage(const VX70ModuleImage& image, int number,
                                          const std::string& name) {
  std::unique_ptr<Module> module(new Module);
  module->number_ = number;
  module->path_ = name;
  adoptImage(&image, name, module->exports_, module->resources_);
  module->attach();
  return module;
}

void Module::attach() {
  entry_ = reinterpret_cast<DllEntry>(procAddress("DllMain"));
  if (entry_ && !entry_(instance(), DLL_PROCESS_ATTACH, nullptr)) {
    entry_ = nullptr;  // a refused attach gets no detach
    throw ModuleError(path_ + ": the module refused to load");
  }
}

Module::~Module() {
  if (entry_) entry_(instance(), DLL_PROCESS_DETACH, nullptr);
  resources_.reset();
  if (library_) dlclose(library_);
}

HINSTANCE Module::instance() const {
  return reinterpret_cast<HINSTANCE>(const_cast<Module*>(this));
}

Module* Module::fromInstance(HINSTANCE instance) { return reinterpret_cast<Module*>(instance); }

void* Module::procAddress(std::uint16_t ordinal) const {
  for (const auto& e : exports_)
    if (e.ordinal == ordinal) return e.address;
  return nullptr;
}

void* Module::procAddress(std::string_view name) const {
  for (const auto& e : exports_)
    if (e.name && name == e.name) return e.address;
  return nullptr;
}

DialogHandler Module::handler(std::uint16_t ordinal) const {
  return reinterpret_cast<DialogHandler>(procAddress(ordinal));
}

std::string defaultModulePath() {
  if (const char* env = std::getenv("VX70_MODULE"); env && *env) return env;
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "vx70def.so";
  std::string dir(exe, static_cast<std::size_t>(n));
  return dir.substr(0, dir.rfind('/') + 1) + "vx70def.so";
}

}  // namespace vx70
