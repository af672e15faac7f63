// The main window under test, offscreen, with its dialogs and questions
// answered by a script.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <unistd.h>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TreeMain.h"

namespace vt {

namespace fs = std::filesystem;

// Answers from a script, in order, and records what was asked.
class TScriptedDialogs : public TDialogs {
 public:
  struct TFileAnswer {
    bool Ok = true;
    std::string FileName;
    int FilterIndex = 0;  // 0: leave the dialog's index
  };
  std::deque<TFileAnswer> FileAnswers;
  std::deque<TAnswer> Answers;
  std::deque<TColor> Colors;  // an empty queue cancels
  std::vector<TFileDialogRequest> FileRequests;
  std::vector<std::string> Questions;
  std::vector<std::string> Errors;

  bool OpenFile(TFileDialogRequest& Request) override { return Answer(Request); }
  bool SaveFile(TFileDialogRequest& Request) override { return Answer(Request); }
  bool ChooseColor(TColor& Color) override {
    if (Colors.empty()) return false;
    Color = Colors.front();
    Colors.pop_front();
    return true;
  }
  TAnswer Ask(const std::string& Question) override {
    Questions.push_back(Question);
    if (Answers.empty()) return TAnswer::Cancel;
    const TAnswer a = Answers.front();
    Answers.pop_front();
    return a;
  }
  void ShowError(const std::string& Message) override { Errors.push_back(Message); }
  // An empty queue cancels.
  std::deque<TFont> Fonts;
  std::vector<TFont> FontRequests;
  bool ChooseFont(TFont& Font) override {
    FontRequests.push_back(Font);
    if (Fonts.empty()) return false;
    Font = Fonts.front();
    Fonts.pop_front();
    return true;
  }
  // The window's own dialogs: shown, handed to OnExecute, which works the
  // controls and says whether the dialog closes with OK; without one the
  // dialog is cancelled.
  std::function<bool(QDialog&)> OnExecute;
  std::vector<std::string> Executed;
  bool Execute(QDialog& Dialog) override {
    Executed.push_back(Dialog.objectName().toStdString());
    if (!OnExecute) return false;
    Dialog.show();
    const bool ok = OnExecute(Dialog);
    Dialog.hide();
    return ok;
  }

 private:
  bool Answer(TFileDialogRequest& Request) {
    FileRequests.push_back(Request);
    if (FileAnswers.empty()) return false;
    const TFileAnswer a = FileAnswers.front();
    FileAnswers.pop_front();
    if (!a.Ok) return false;
    Request.FileName = a.FileName;
    if (a.FilterIndex) Request.FilterIndex = a.FilterIndex;
    return true;
  }
};

inline const std::string Bicycle = VT_TEST_DATA_DIR "/bicycle.vrn";

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TScriptedDialogs>();
    Dialogs = dialogs.get();
    Form = std::make_unique<TVarnTreeForm>(std::move(dialogs));
    Dir = fs::temp_directory_path() / ("vt-window-" + std::to_string(::getpid()) + "-" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    Form.reset();
    fs::remove_all(Dir);
  }

  template <typename T>
  T* Find(const char* Name) {
    T* child = Form->findChild<T*>(QString::fromUtf8(Name));
    EXPECT_NE(child, nullptr) << Name;
    return child;
  }
  QAction* Action(const char* Name) { return Find<QAction>(Name); }
  std::string Panel(int I) {
    return Find<QLabel>(("StatusPanel" + std::to_string(I)).c_str())->text().toStdString();
  }
  std::string Path(const std::string& Name) const { return (Dir / Name).string(); }
  void OpenBicycle() {
    Form->OpenCommandLineFile(Bicycle);
    ASSERT_TRUE(Form->HasPicture());
    ASSERT_TRUE(Dialogs->Errors.empty());
  }
  static std::string Head(const std::string& FN, std::size_t N) {
    std::ifstream in(FN, std::ios::binary);
    std::string s(N, '\0');
    in.read(s.data(), static_cast<std::streamsize>(N));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
  }
  void TypeZoom(const QString& Text) {
    auto* box = Find<QComboBox>("ZoomBox");
    box->setEditText(Text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  }

  TScriptedDialogs* Dialogs = nullptr;
  std::unique_ptr<TVarnTreeForm> Form;
  fs::path Dir;
};


}  // namespace vt
