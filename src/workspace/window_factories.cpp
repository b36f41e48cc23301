#include "workspace/window_factories.h"

#include <map>

#include "workspace/window_links.h"

namespace kanzo {
namespace {

// Factories are installed and used on the user-interface thread only.
std::map<std::string, WorkspaceWindowFactory>& Factories() {
  static std::map<std::string, WorkspaceWindowFactory> factories;
  return factories;
}

}  // namespace

void SetWorkspaceWindowFactory(const std::string& name, WorkspaceWindowFactory factory) {
  if (factory) {
    Factories()[name] = std::move(factory);
  } else {
    Factories().erase(name);
  }
}

WorkspaceWindowFactory FindWorkspaceWindowFactory(const std::string& name) {
  const auto it = Factories().find(name);
  return it == Factories().end() ? WorkspaceWindowFactory() : it->second;
}

void SetSignalCountWindowFactory(WorkspaceWindowFactory factory) {
  SetWorkspaceWindowFactory(kSignalCountName, std::move(factory));
}

}  // namespace kanzo
