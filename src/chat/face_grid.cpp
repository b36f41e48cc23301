#include "chat/face_grid.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kanzo {
namespace {

constexpr std::array<const char*, kFaceCellCount> kTipNames = {
    "微笑",     "大笑",   "脸红",   "调皮", "色",       "",       "亲亲",   "",         "不高兴", "惬意",
    "瞪大眼睛", "",       "吐舌头", "撇嘴", "汗",       "难受",   "难过",   "皱眉",     "出汗",   "",
    "",         "",       "",       "",     "嚎嚎大哭", "大哭",   "",       "惊讶",     "愤怒",   "黄色心",
    "魔鬼",     "流鼻涕", "外星人", "病了", "蓝色心",   "红色心", "绿色心", "一箭穿心", "心亮了", "心碎",
    "粉红心",   "紫色心", "噗",     "叹号", "囧",       "睡觉",   "疑问",   "星星",     "星空",   "赞一个"};

bool IsGifName(const std::string& name) {
  constexpr std::string_view kExtension = ".gif";
  if (name.size() <= kExtension.size()) return false;
  const std::string_view tail(name.data() + name.size() - kExtension.size(), kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b; });
}

}  // namespace

std::vector<std::string> ListFaceFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error) || !IsGifName(it->path().filename().string())) continue;
    files.push_back(it->path().string());
  }
  // Directory listings come in no fixed order here; the names decide.
  std::sort(files.begin(), files.end());
  return files;
}

int FaceIndexAt(int x, int y, int faceCount) {
  if (x < 0 || y < 0 || x >= kFacePickerWidth || y >= kFacePickerHeight) return kNoFace;
  const int column = std::min(x / kFaceCellSize, kFaceColumns - 1);
  const int row = std::min(y / kFaceCellSize, kFaceRows - 1);
  const int index = column + kFaceColumns * row;
  return index < std::min(faceCount, kFaceCellCount) ? index : kNoFace;
}

CellOrigin FaceCellOrigin(int index) {
  return {(index % kFaceColumns) * kFaceCellSize, (index / kFaceColumns) * kFaceCellSize};
}

std::string FaceTooltipName(int index) {
  if (index < 0 || index >= kFaceCellCount) return {};
  return kTipNames[static_cast<std::size_t>(index)];
}

bool FaceHover::OnMove(int x, int y, int faceCount) {
  const int index = FaceIndexAt(x, y, faceCount);
  if (index == kNoFace || index == hovered_) return false;
  previous_ = hovered_;
  hovered_ = index;
  return true;
}

bool FaceHover::OnTick(int x, int y) {
  if (hovered_ == kNoFace) return false;
  if (FaceIndexAt(x, y, kFaceCellCount) == hovered_) return false;
  previous_ = hovered_;
  hovered_ = kNoFace;
  // The window hides the tooltip with the hover; coming back shows it anew.
  tipIndex_ = kNoFace;
  return true;
}

bool FaceHover::TakeTipChange(std::string& text) {
  if (hovered_ == tipIndex_) return false;
  tipIndex_ = hovered_;
  text = FaceTooltipName(hovered_);
  return true;
}

}  // namespace kanzo
