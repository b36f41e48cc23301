#pragma once
// Reaches other windows by registry name ("MainDlg", "ChatDlg", ...). A
// window enters itself with the link interfaces it implements; logic asks
// for a link by name and gets it, or nullptr when the window is absent, has
// gone, or does not offer that link. The router is typed by construction:
// a link is found only as the type it was entered as, so logic never casts.
//
// User-interface thread only. One router per application (and per test).
#include <string>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/window_message.h"

namespace kanzo {

class WindowRouter {
 public:
  WindowRouter() = default;
  WindowRouter(const WindowRouter&) = delete;
  WindowRouter& operator=(const WindowRouter&) = delete;

  // Enters `window` under `name` (replacing an earlier entry of the name)
  // with the links it offers.
  template <typename... Links>
  void Enter(const std::string& name, const platform::Window& window, Links*... links) {
    Entry& entry = EnterWindow(name, window.Id());
    (entry.links.emplace_back(std::type_index(typeid(Links)), static_cast<void*>(links)), ...);
  }
  // Removes the entry of `name` if it is still `window`'s.
  void Leave(const std::string& name, const platform::Window& window);

  // The live window entered under `name`, or kNoWindow.
  platform::WindowId IdOf(const std::string& name) const;
  bool Has(const std::string& name) const { return IdOf(name) != platform::kNoWindow; }

  // The link `Link` of the live window entered under `name`, or nullptr.
  template <typename Link>
  Link* Find(const std::string& name) const {
    return static_cast<Link*>(FindLink(name, std::type_index(typeid(Link))));
  }

 private:
  struct Entry {
    platform::WindowId id = platform::kNoWindow;
    std::vector<std::pair<std::type_index, void*>> links;
  };

  Entry& EnterWindow(const std::string& name, platform::WindowId id);
  void* FindLink(const std::string& name, std::type_index type) const;
  const Entry* LiveEntry(const std::string& name) const;

  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace kanzo
