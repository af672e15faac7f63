// The about box: the system's name, version and a short notice.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QTextEdit;
class QPushButton;

namespace vt {

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(QWidget* AParent = nullptr);

  // 0 and 94 when the box is created; setting either rewrites the Version
  // label.
  int MajorVersion() const { return FMajorVersion; }
  void SetMajorVersion(int Value);
  int MinorVersion() const { return FMinorVersion; }
  void SetMinorVersion(int Value);
  // "0.94": the minor number with at least two digits.
  std::string VersionString() const;

  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Comments;
  QTextEdit* Copyright;
  QPushButton* Button1;

 protected:
  // Centres the box on its screen, whoever its parent is.
  void showEvent(QShowEvent* Event) override;

 private:
  QWidget* CreatePanel();
  void ShowVersion();

  int FMajorVersion = 0;
  int FMinorVersion = 94;
};

}  // namespace vt
