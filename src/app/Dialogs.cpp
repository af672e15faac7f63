#include "app/Dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <algorithm>

#include "graphics/qt/QPainterCanvas.h"
#include "graphics/qt/QtMeasurer.h"

namespace vt {

QStringList QtNameFilters(const std::string& Filter) {
  const QStringList parts = QString::fromStdString(Filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString pattern = parts[i + 1];
    pattern.replace(u';', u' ');
    if (description.contains(u'(' + pattern + u')'))
      filters << description;
    else
      filters << description + QStringLiteral(" (") + pattern + u')';
  }
  return filters;
}

bool TQtDialogs::RunFileDialog(TFileDialogRequest& Request, bool Save) {
  QFileDialog dialog(FParent, QString::fromStdString(Request.Title));
  const QStringList filters = QtNameFilters(Request.Filter);
  dialog.setNameFilters(filters);
  if (Request.FilterIndex >= 1 && Request.FilterIndex <= filters.size())
    dialog.selectNameFilter(filters[Request.FilterIndex - 1]);
  // The window appends extensions and asks about overwriting itself, about
  // the name it will really write.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!Request.DefaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(Request.DefaultExt));
  if (!Request.FileName.empty()) {
    const QFileInfo info(QString::fromStdString(Request.FileName));
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  Request.FileName = dialog.selectedFiles().first().toStdString();
  const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
  if (index >= 0) Request.FilterIndex = static_cast<int>(index) + 1;
  return true;
}

bool TQtDialogs::OpenFile(TFileDialogRequest& Request) {
  return RunFileDialog(Request, false);
}

bool TQtDialogs::SaveFile(TFileDialogRequest& Request) {
  return RunFileDialog(Request, true);
}

bool TQtDialogs::ChooseColor(TColor& Color) {
  const QColor chosen = QColorDialog::getColor(ToQColor(Color), FParent);
  if (!chosen.isValid()) return false;
  Color = RGB(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
              static_cast<std::uint8_t>(chosen.blue()));
  return true;
}

TAnswer TQtDialogs::Ask(const std::string& Question) {
  const auto button =
      QMessageBox::question(FParent, QString::fromUtf8(SDialogCaption), QString::fromStdString(Question),
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (button == QMessageBox::Yes) return TAnswer::Yes;
  if (button == QMessageBox::No) return TAnswer::No;
  return TAnswer::Cancel;
}

void TQtDialogs::ShowError(const std::string& Message) {
  QMessageBox::critical(FParent, QString::fromUtf8(SDialogCaption), QString::fromStdString(Message));
}

bool TQtDialogs::ChooseFont(TFont& Font) {
  // The dialog works in points.
  QFont initial = ToQFont(Font);
  initial.setPointSize(std::max(1, Font.Size()));
  // The dialog lists installed families only: it opens on the one the
  // format's font resolves to ("Arial" draws as Liberation Sans), and the
  // format keeps its own name unless another family is picked.
  const QString resolved = QFontInfo(initial).family();
  initial.setFamily(resolved);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, FParent);
  if (!ok) return false;
  if (chosen.family() != resolved) Font.SetName(chosen.family().toStdString());
  if (chosen.pointSize() > 0)
    Font.SetSize(chosen.pointSize());
  else if (chosen.pixelSize() > 0)
    Font.SetHeight(-chosen.pixelSize());
  TFontStyles style;
  if (chosen.bold()) style.Include(fsBold);
  if (chosen.italic()) style.Include(fsItalic);
  if (chosen.underline()) style.Include(fsUnderline);
  if (chosen.strikeOut()) style.Include(fsStrikeOut);
  Font.SetStyle(style);
  return true;
}

bool TQtDialogs::Execute(QDialog& Dialog) {
  return Dialog.exec() == QDialog::Accepted;
}

}  // namespace vt
