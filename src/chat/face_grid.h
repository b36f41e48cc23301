#pragma once
// The emoticon picker's grid without its window: where the faces sit, which
// cell the pointer is over, the hover and the tooltip names.
#include <cstdint>
#include <string>
#include <vector>

namespace kanzo {

inline constexpr int kFaceColumns = 10;
inline constexpr int kFaceRows = 5;
inline constexpr int kFaceCellCount = kFaceColumns * kFaceRows;
inline constexpr int kFaceCellSize = 36;
// The picker is one pixel wider and taller than its cells, for the closing
// outline.
inline constexpr int kFacePickerWidth = 361;
inline constexpr int kFacePickerHeight = 181;
// A face is scaled into this square, this far inside its cell's corner.
inline constexpr int kFaceInset = 4;
inline constexpr int kFaceSize = 28;
inline constexpr std::uint32_t kFaceOutlineColor = 0xEFEFEF;
inline constexpr std::uint32_t kFaceHoverColor = 0x4CA0D9;
inline constexpr std::uint32_t kFaceTipTextColor = 0x6E6E6E;
inline constexpr int kFaceTipMaxWidth = 200;
// While a cell is hovered, the pointer is checked this often.
inline constexpr int kFaceHoverCheckMs = 100;

inline constexpr int kNoFace = -1;

// The face files of a folder ("*.gif", any case), sorted by name, as full
// paths. A missing folder gives none.
std::vector<std::string> ListFaceFiles(const std::string& folder);

// The index of the face under (x, y), or kNoFace. A point on the closing
// outline belongs to the last column or row; cells without a face and
// cells beyond the grid are no face.
int FaceIndexAt(int x, int y, int faceCount);

// The top-left corner of a cell.
struct CellOrigin {
  int x;
  int y;
};
CellOrigin FaceCellOrigin(int index);

// The tooltip name of a grid index; empty when it has none.
std::string FaceTooltipName(int index);

// The hovered cell and the tooltip that follows it.
class FaceHover {
 public:
  // The pointer moved: true when the hovered index changed (the old and
  // new cells need painting and the check timer restarts).
  bool OnMove(int x, int y, int faceCount);
  // The timer ticked: true when the pointer left the hovered cell, which is
  // then no longer hovered (repaint it, stop the timer).
  bool OnTick(int x, int y);
  // A mouse message arrived: true when the tooltip must change, its text
  // then in `text`.
  bool TakeTipChange(std::string& text);

  int Hovered() const { return hovered_; }
  int Previous() const { return previous_; }

 private:
  int hovered_ = kNoFace;
  int previous_ = kNoFace;
  int tipIndex_ = kNoFace;
};

}  // namespace kanzo
