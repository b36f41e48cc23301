#include "workspace/window_factories.h"

namespace kanzo {

WindowFactories::~WindowFactories() { DestroyApplicationWindows(); }

void WindowFactories::Set(const std::string& name, Factory factory) {
  if (factory) {
    factories_[name] = std::move(factory);
  } else {
    factories_.erase(name);
  }
}

WindowFactories::Factory WindowFactories::Find(const std::string& name) const {
  const auto it = factories_.find(name);
  return it == factories_.end() ? Factory() : it->second;
}

QWidget* WindowFactories::ApplicationWindow(const std::string& name, WindowContext& context) {
  for (const auto& [made, window] : applicationWindows_)
    if (made == name) return window.get();
  const Factory factory = Find(name);
  if (!factory) return nullptr;
  std::unique_ptr<QWidget> window(factory(nullptr, context));
  if (!window) return nullptr;
  window->hide();
  applicationWindows_.emplace_back(name, std::move(window));
  return applicationWindows_.back().second.get();
}

void WindowFactories::DestroyApplicationWindows() {
  while (!applicationWindows_.empty()) applicationWindows_.pop_back();
}

}  // namespace kanzo
