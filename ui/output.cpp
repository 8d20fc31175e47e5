// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/output.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace suusiki::output {
namespace {

struct Loaded {
  const Functions* functions = nullptr;
  QString error;
};

// The folders where the dynamic loader looks for the program's libraries: the
// program's run path (its $ORIGIN worked out), LD_LIBRARY_PATH, the system's.
std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders;
  void* program = dlopen(nullptr, RTLD_NOW);
  if (program == nullptr) return folders;
  Dl_serinfo size{};
  if (dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size >= sizeof(Dl_serinfo)) {
    std::vector<std::max_align_t> buffer(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());  // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    if (dlinfo(program, RTLD_DI_SERINFOSIZE, info) == 0 && dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
      for (unsigned i = 0; i < info->dls_cnt; ++i) {
        folders.emplace_back(info->dls_serpath[i].dls_name);  // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
      }
    }
  }
  dlclose(program);
  return folders;
}

Loaded Open(const char* module) {
  // Looked for along the program's run path: the module's folder in the build
  // or in the installation. The folders are searched here and the module
  // opened by its full name, so that the search is the program's even where
  // a sanitizer or a preloaded library stands between it and dlopen.
  void* handle = nullptr;
  for (const std::string& folder : SearchFolders()) {
    const std::string path = folder + "/" + module;
    if (access(path.c_str(), F_OK) == 0 && (handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) != nullptr) break;
  }
  // Not found: the loader's own search, which says why.
  if (handle == nullptr) handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    return {nullptr, QStringLiteral("印刷と SVG の部品 %1 を読み込めません。\n%2")
                         .arg(QString::fromLocal8Bit(module), QString::fromLocal8Bit(dlerror()))};
  }
  using Entry = const Functions* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, "SuusikiOutputFunctions"));
  const Functions* functions = entry != nullptr ? entry() : nullptr;
  if (functions == nullptr || functions->version != Functions::kVersion) {
    dlclose(handle);
    return {nullptr, QStringLiteral("印刷と SVG の部品 %1 は、このプログラムの版のものではありません。").arg(module)};
  }
  return {functions, QString()};  // kept loaded for the rest of the run
}

}  // namespace

const Functions* Load(QString* error, const char* module) {
  // Windows ask from the one thread of the interface; an answer, good or bad,
  // stands for the run.
  static std::map<std::string, Loaded> loaded;
  auto found = loaded.find(module);
  if (found == loaded.end()) found = loaded.emplace(module, Open(module)).first;
  if (found->second.functions == nullptr && error != nullptr) *error = found->second.error;
  return found->second.functions;
}

}  // namespace suusiki::output
