#pragma once
// The generator's parts: each writes its files under the program folder.
#include <QImage>
#include <QString>

namespace kanzo::assets {

// "Images/..." pictures and textures, "Segment/..." tabs, program icons.
bool WritePictures(const QString& programFolder);
// The program icon for the desktop's icon theme:
// "hicolor/<n>x<n>/apps/kanzo.png" under `iconFolder`.
bool WriteDesktopIcons(const QString& iconFolder);
// The 50 emoticons in "face/".
bool WriteFaces(const QString& programFolder);
// "face/" file name of a grid position ("00_微笑.gif").
QString FaceFileName(int index);
// All faces on one sheet, as the picker lays them out (for looking at).
QImage FaceSheet();

}  // namespace kanzo::assets
