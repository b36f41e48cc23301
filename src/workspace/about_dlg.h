#pragma once
// The About box: program icon, one text line "<description> <version> Release版"
// and a "确定" button, on 0xFAFAFA with texts in 0x333333.
#include <QDialog>
#include <QLabel>
#include <string>

namespace kanzo {

class AboutDlg final : public QDialog {
  Q_OBJECT
 public:
  AboutDlg(const std::string& description, const std::string& version, QWidget* parent = nullptr);
  QString LineText() const { return line_->text(); }

 private:
  QLabel* line_;
};

// The line the About box shows.
std::string AboutLineText(const std::string& description, const std::string& version);

}  // namespace kanzo
