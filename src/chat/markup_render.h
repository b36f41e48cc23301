#pragma once
// Rendering display markup into a view.
#include <string_view>

#include "chat/markup_view.h"

namespace kanzo {

// Renders `markup` after the view's content and scrolls to the end. Text
// before the first tag takes the format the insertion point was left with.
void AppendMarkup(MarkupView& view, std::string_view markup);

// Renders `markup` at the view's insertion point (pasting our own markup).
void InsertMarkup(MarkupView& view, std::string_view markup);

}  // namespace kanzo
