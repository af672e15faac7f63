// The questions and dialogs the main window asks the user, behind one small
// interface so that tests can answer them. The Qt implementation shows the
// toolkit's file, colour and message dialogs.
#pragma once

#include <QStringList>
#include <string>

#include "graphics/Graphics.h"

class QDialog;
class QWidget;

namespace vt {

inline constexpr const char* SDialogCaption = "VarnTree";

// A file dialog's settings and, after OK, the user's choice. Filters are
// lists in the classic form "Description|pattern|Description|pattern";
// FilterIndex counts from 1.
struct TFileDialogRequest {
  std::string Title;
  std::string Filter;
  int FilterIndex = 1;
  std::string FileName;
  // Appended by the dialog to a typed name without one; empty for none.
  std::string DefaultExt;
};

enum class TAnswer { Yes, No, Cancel };

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // True on OK, with Request.FileName and Request.FilterIndex the choice.
  virtual bool OpenFile(TFileDialogRequest& Request) = 0;
  virtual bool SaveFile(TFileDialogRequest& Request) = 0;
  // True on OK, with Color the chosen colour.
  virtual bool ChooseColor(TColor& Color) = 0;
  // True on OK, with Font the chosen font; colour and character set stay.
  virtual bool ChooseFont(TFont& Font) = 0;
  // Shows one of the window's own dialogs modally; true when it closed with
  // OK.
  virtual bool Execute(QDialog& Dialog) = 0;
  // A confirmation with the buttons Yes, No and Cancel.
  virtual TAnswer Ask(const std::string& Question) = 0;
  virtual void ShowError(const std::string& Message) = 0;
};

// "Desc (*.a)|*.a|Other|*.b" as Qt name filters: a description that already
// names its pattern in parentheses stands alone, others get it appended.
QStringList QtNameFilters(const std::string& Filter);

class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* AParent) : FParent(AParent) {}
  bool OpenFile(TFileDialogRequest& Request) override;
  bool SaveFile(TFileDialogRequest& Request) override;
  bool ChooseColor(TColor& Color) override;
  bool ChooseFont(TFont& Font) override;
  bool Execute(QDialog& Dialog) override;
  TAnswer Ask(const std::string& Question) override;
  void ShowError(const std::string& Message) override;

 private:
  bool RunFileDialog(TFileDialogRequest& Request, bool Save);
  QWidget* FParent;
};

}  // namespace vt
