// Fuzz target of the display markup: any bytes are rendered, read back and,
// taken as wire text from a visitor, converted for display. Nothing may
// crash, and a transcript line made from the converted text may show
// pictures of the face folder only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chat/markup_document.h"
#include "chat/markup_reader.h"
#include "chat/markup_render.h"
#include "chat/wire_display.h"

namespace {

constexpr std::string_view kFuzzFaceFolder = "/kanzo/face/";

void CheckOnlyFaceFolderPictures(const kanzo::MarkupDocument& doc) {
  for (const auto& item : doc.Items()) {
    if (!item.isPicture) continue;
    const std::string_view path = item.picture.path;
    if (item.picture.absolute || !path.starts_with(kFuzzFaceFolder) ||
        !kanzo::IsFaceFolderName(path.substr(kFuzzFaceFolder.size()))) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  kanzo::MarkupDocument doc{std::string(kFuzzFaceFolder)};
  kanzo::AppendMarkup(doc, input);
  kanzo::AppendMarkup(doc, input);
  const std::string display = kanzo::ReadDisplayMarkup(doc);
  const std::string wire = kanzo::ReadWireText(doc);
  // Whatever was read back renders again.
  kanzo::MarkupDocument again{std::string(kFuzzFaceFolder)};
  kanzo::AppendMarkup(again, display);
  if (kanzo::ReadWireText(again).size() > display.size() + wire.size()) std::abort();

  const std::string shown = kanzo::ConvertWireTextForDisplay(input);
  kanzo::MarkupDocument transcript{std::string(kFuzzFaceFolder)};
  kanzo::AppendMarkup(transcript, "\n[#4895E1]访客5 (10:00:00)\n[>00C8]" + shown + "\n");
  CheckOnlyFaceFolderPictures(transcript);
  // Taking foreign pictures out twice changes nothing more.
  if (kanzo::RemoveForeignPictures(shown) != shown) std::abort();
  return 0;
}
