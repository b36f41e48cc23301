#include "windows/window_router.h"

namespace kanzo {

WindowRouter::Entry& WindowRouter::EnterWindow(const std::string& name, platform::WindowId id) {
  platform::CheckUiThread("WindowRouter::Enter");
  Entry& entry = entries_[name];
  entry.id = id;
  entry.links.clear();
  return entry;
}

void WindowRouter::Leave(const std::string& name, const platform::Window& window) {
  platform::CheckUiThread("WindowRouter::Leave");
  const auto it = entries_.find(name);
  if (it != entries_.end() && it->second.id == window.Id()) entries_.erase(it);
}

const WindowRouter::Entry* WindowRouter::LiveEntry(const std::string& name) const {
  platform::CheckUiThread("WindowRouter");
  const auto it = entries_.find(name);
  // A window that went without leaving is absent all the same.
  if (it == entries_.end() || platform::FindWindow(it->second.id) == nullptr) return nullptr;
  return &it->second;
}

platform::WindowId WindowRouter::IdOf(const std::string& name) const {
  const Entry* entry = LiveEntry(name);
  return entry ? entry->id : platform::kNoWindow;
}

void* WindowRouter::FindLink(const std::string& name, std::type_index type) const {
  const Entry* entry = LiveEntry(name);
  if (!entry) return nullptr;
  for (const auto& [linkType, link] : entry->links)
    if (linkType == type) return link;
  return nullptr;
}

}  // namespace kanzo
