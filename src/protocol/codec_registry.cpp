#include "protocol/codec_registry.h"

#include <map>
#include <mutex>

namespace kanzo {
namespace {

// Registration is serialised so that two early callers cannot corrupt the
// map; lookups run without the lock because registration ends before the
// network thread starts.
std::mutex gRegisterMutex;

std::map<TypeCode, const ObjectCodec*>& Registry() {
  static std::map<TypeCode, const ObjectCodec*> registry;
  return registry;
}

}  // namespace

bool registerCodec(TypeCode code, const ObjectCodec* codec) {
  if (codec == nullptr) return false;
  std::lock_guard lock(gRegisterMutex);
  return Registry().emplace(code, codec).second;
}

const ObjectCodec* FindCodec(TypeCode code) {
  const auto& registry = Registry();
  const auto it = registry.find(code);
  return it == registry.end() ? nullptr : it->second;
}

std::vector<TypeCode> RegisteredTypeCodes() {
  std::vector<TypeCode> codes;
  for (const auto& entry : Registry()) codes.push_back(entry.first);
  return codes;
}

}  // namespace kanzo
