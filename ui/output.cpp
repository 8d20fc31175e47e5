// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/output.h"

#include <dlfcn.h>

#include <map>
#include <string>

namespace suusiki::output {
namespace {

struct Loaded {
  const Functions* functions = nullptr;
  QString error;
};

Loaded Open(const char* module) {
  // Searched through the program's run path: the module's folder in the build
  // or in the installation.
  void* handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
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
