// The parent-line dialog, the shape dialog, the about box and the sample
// shape control, offscreen.
#include "app/Dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "Mnemonics.h"
#include "app/FAbout.h"
#include "app/FLine.h"
#include "app/FShape.h"
#include "app/ShapeControl.h"

namespace vt {
namespace {

const std::vector<QString> PenItems = {"Solid", "Dash ", "Dot", "Dash-Dot", "Dash-Dot-Dot ", "Clear"};
const std::vector<QString> BrushItems = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                         "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};

std::vector<QString> Items(const QComboBox* Box) {
  std::vector<QString> items;
  for (int i = 0; i < Box->count(); ++i) items.push_back(Box->itemText(i));
  return items;
}

// True when the pixel is mostly the primary colour Channel (0 red, 1 green,
// 2 blue): that channel is well above the other two, so antialiased edges
// count but grey background does not.
bool IsMostly(QRgb Pixel, int Channel) {
  const int c[] = {qRed(Pixel), qGreen(Pixel), qBlue(Pixel)};
  return c[Channel] - std::max(c[(Channel + 1) % 3], c[(Channel + 2) % 3]) > 150;
}
constexpr int Red = 0, Blue = 2;

int CountPixels(QWidget& Widget, int Channel) {
  const QImage image = Widget.grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += IsMostly(image.pixel(x, y), Channel);
  return count;
}

// A chooser that answers from the test and records the colour it started with.
struct TChooser {
  bool Ok = true;
  TColor Answer = clBlue;
  std::vector<TColor> Started;
  TColorChooser Function() {
    return [this](TColor& Color) {
      Started.push_back(Color);
      if (Ok) Color = Answer;
      return Ok;
    };
  }
};

// ---------------------------------------------------------------------------
// Every dialog

struct TCaption {
  const char* Name;
  const char* Text;
};

QString TextOf(QWidget& Dialog, const char* Name) {
  QObject* child = Dialog.findChild<QObject*>(QString::fromUtf8(Name));
  if (auto* label = qobject_cast<QLabel*>(child)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(child)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(child)) return group->title();
  return QStringLiteral("<no control %1>").arg(QString::fromUtf8(Name));
}

void ExpectCaptions(QDialog& Dialog, const char* Title, std::initializer_list<TCaption> Captions) {
  EXPECT_EQ(Dialog.windowTitle(), QString::fromUtf8(Title));
  for (const TCaption& c : Captions) EXPECT_EQ(TextOf(Dialog, c.Name), QString::fromUtf8(c.Text)) << c.Name;
  // A fixed frame: shown, the dialog cannot be resized.
  Dialog.show();
  EXPECT_EQ(Dialog.minimumSize(), Dialog.maximumSize());
  Dialog.hide();
}

TEST(DialogsTest, CaptionsObjectNamesAndFixedFrames) {
  TEditParentLine line;
  EXPECT_EQ(line.objectName(), "EditParentLine");
  ExpectCaptions(line, "Edit Parent Line",
                 {{"LineGroup", "Line"},
                  {"StyleLabel", "&Style"},
                  {"WidthLabel", "Line &width"},
                  {"ColorButton", "&Color..."},
                  {"OKButton", "&OK"},
                  {"CancelButton", "Cancel"}});
  EXPECT_EQ(Items(line.StyleBox), PenItems);
  EXPECT_TRUE(line.OKButton->isDefault());
  EXPECT_FALSE(line.ParentShape->isVisible());

  TEditShape shape;
  EXPECT_EQ(shape.objectName(), "EditShape");
  ExpectCaptions(shape, "Edit Shape",
                 {{"BorderGroup", "&Border line"},
                  {"StyleLabel", "&Style"},
                  {"WidthLabel", "Line &width"},
                  {"PenColorButton", "&Color..."},
                  {"FillGroup", "&Fill"},
                  {"Label2", "S&tyle"},
                  {"BrushColorButton", "Co&lor..."},
                  {"ShapeCheck", "S&hape"},
                  {"OKButton", "&OK"},
                  {"CancelButton", "Cancel"}});
  EXPECT_EQ(Items(shape.PenStyleBox), PenItems);
  EXPECT_EQ(Items(shape.BrushStyleBox), BrushItems);
  const std::vector<QString> shapeItems = {"&Rectangle", "&Ellipse", "Ro&unded"};
  ASSERT_EQ(shape.ShapeCheck->findChildren<QRadioButton*>().size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(shape.ShapeItem(i)->text(), shapeItems[i]);
  EXPECT_TRUE(shape.OKButton->isDefault());

  TAboutBox about;
  EXPECT_EQ(about.objectName(), "AboutBox");
  ExpectCaptions(about, "About VarnTree", {{"ProductName", "VarnTree"}, {"Button1", "&OK"}});
  EXPECT_TRUE(about.Button1->isDefault());
}

TEST(DialogsTest, OkAcceptsAndCancelRejects) {
  TEditParentLine line;
  TEditShape shape;
  TAboutBox about;
  struct TCase {
    QDialog* Dialog;
    QPushButton* Button;
    int Result;
  };
  const TCase cases[] = {
      {&line, line.OKButton, QDialog::Accepted},   {&line, line.CancelButton, QDialog::Rejected},
      {&shape, shape.OKButton, QDialog::Accepted}, {&shape, shape.CancelButton, QDialog::Rejected},
      {&about, about.Button1, QDialog::Accepted},
  };
  for (const TCase& c : cases) {
    c.Dialog->open();
    ASSERT_TRUE(c.Dialog->isVisible());
    c.Button->click();
    EXPECT_FALSE(c.Dialog->isVisible()) << c.Dialog->objectName().toStdString();
    EXPECT_EQ(c.Dialog->result(), c.Result) << c.Button->objectName().toStdString();
  }
}

// ---------------------------------------------------------------------------
// Parent-line dialog

TEST(EditParentLineTest, ShowValuesShowsThePenAndWritesNothing) {
  TEditParentLine dialog;
  const TPen pens[] = {TPen(clRed, 3, psDot), TPen(clBlack, 0, psClear), TPen(clGreen, 7, psInsideFrame)};
  for (const TPen& pen : pens) {
    dialog.ParentShape->SetPen(pen);
    dialog.ShowValues();
    EXPECT_EQ(dialog.StyleBox->currentIndex(), pen.Style() == psInsideFrame ? -1 : int(pen.Style()));
    EXPECT_EQ(dialog.LineWidth->value(), pen.Width());
    EXPECT_EQ(dialog.ParentShape->Pen(), pen);
  }
  // Showing the dialog fills the controls as well.
  dialog.ParentShape->SetPen(TPen(clRed, 4, psDashDot));
  dialog.show();
  EXPECT_EQ(dialog.StyleBox->currentIndex(), 3);
  EXPECT_EQ(dialog.LineWidth->value(), 4);
}

TEST(EditParentLineTest, ControlsWriteThePen) {
  TEditParentLine dialog;
  dialog.ParentShape->SetPen(TPen(clRed, 2, psInsideFrame));
  dialog.ShowValues();
  for (int i = 0; i < int(PenItems.size()); ++i) {
    dialog.StyleBox->setCurrentIndex(i);
    EXPECT_EQ(dialog.ParentShape->Pen().Style(), TPenStyle(i)) << i;
  }
  dialog.LineWidth->setValue(6);
  EXPECT_EQ(dialog.ParentShape->Pen(), TPen(clRed, 6, psClear));
}

TEST(EditParentLineTest, ClearHidesTheSampleLine) {
  TEditParentLine dialog;
  dialog.NodeShape->SetPen(TPen(clBlack));
  dialog.NodeShape->SetBrush(TBrush(clWhite));
  dialog.ParentShape->SetPen(TPen(clRed, 3, psSolid));
  dialog.show();
  EXPECT_GT(CountPixels(dialog, Red), 20);
  dialog.StyleBox->setCurrentIndex(5);
  EXPECT_EQ(dialog.ParentShape->Pen().Style(), psClear);
  EXPECT_EQ(CountPixels(dialog, Red), 0);
  dialog.StyleBox->setCurrentIndex(0);
  EXPECT_GT(CountPixels(dialog, Red), 20);
}

TEST(EditParentLineTest, ColorButton) {
  TEditParentLine dialog;
  dialog.ParentShape->SetPen(TPen(clRed, 2, psDash));
  dialog.ColorButton->click();  // no chooser: nothing happens
  EXPECT_EQ(dialog.ParentShape->Pen(), TPen(clRed, 2, psDash));

  TChooser chooser;
  dialog.SetColorChooser(chooser.Function());
  chooser.Ok = false;
  dialog.ColorButton->click();
  EXPECT_EQ(dialog.ParentShape->Pen(), TPen(clRed, 2, psDash));
  chooser.Ok = true;
  dialog.ColorButton->click();
  EXPECT_EQ(dialog.ParentShape->Pen(), TPen(clBlue, 2, psDash));
  EXPECT_EQ(chooser.Started, (std::vector<TColor>{clRed, clRed}));
}

// ---------------------------------------------------------------------------
// Shape dialog

TEST(EditShapeTest, ShowValuesShowsTheShapeAndWritesNothing) {
  struct TCase {
    TShapeType Shape;
    int Index;
  };
  const TCase cases[] = {{stRectangle, 0},   {stSquare, 0},  {stRoundRect, 2},
                         {stRoundSquare, 0}, {stEllipse, 1}, {stCircle, 0}};
  TEditShape dialog;
  for (const TCase& c : cases) {
    dialog.NodeShape->SetShape(c.Shape);
    dialog.ShowValues();
    EXPECT_EQ(dialog.ShapeIndex(), c.Index) << int(c.Shape);
    // Kinds without an item of their own are kept until the user picks one.
    EXPECT_EQ(dialog.NodeShape->Shape(), c.Shape);
  }
  const TPen pen(clNavy, 5, psDashDotDot);
  const TBrush brush(clYellow, bsBDiagonal);
  dialog.NodeShape->SetPen(pen);
  dialog.NodeShape->SetBrush(brush);
  dialog.ShowValues();
  EXPECT_EQ(dialog.PenStyleBox->currentIndex(), 4);
  EXPECT_EQ(dialog.LineWidth->value(), 5);
  EXPECT_EQ(dialog.BrushStyleBox->currentIndex(), 5);
  EXPECT_EQ(dialog.NodeShape->Pen(), pen);
  EXPECT_EQ(dialog.NodeShape->Brush(), brush);

  dialog.NodeShape->SetPen(TPen(clNavy, 1, psInsideFrame));
  dialog.ShowValues();
  EXPECT_EQ(dialog.PenStyleBox->currentIndex(), -1);
  EXPECT_EQ(dialog.NodeShape->Pen().Style(), psInsideFrame);
}

TEST(EditShapeTest, ControlsWriteTheSample) {
  TEditShape dialog;
  dialog.NodeShape->SetPen(TPen(clRed, 1, psInsideFrame));
  dialog.NodeShape->SetBrush(TBrush(clYellow, bsDiagCross));
  dialog.ShowValues();
  for (int i = 0; i < int(PenItems.size()); ++i) {
    dialog.PenStyleBox->setCurrentIndex(i);
    EXPECT_EQ(dialog.NodeShape->Pen().Style(), TPenStyle(i)) << i;
  }
  for (int i = 0; i < int(BrushItems.size()); ++i) {
    dialog.BrushStyleBox->setCurrentIndex(i);
    EXPECT_EQ(dialog.NodeShape->Brush().Style(), TBrushStyle(i)) << i;
  }
  dialog.LineWidth->setValue(4);
  EXPECT_EQ(dialog.NodeShape->Pen(), TPen(clRed, 4, psClear));
  EXPECT_EQ(dialog.NodeShape->Brush(), TBrush(clYellow, bsDiagCross));
}

TEST(EditShapeTest, ShapeItemsSetTheShape) {
  TEditShape dialog;
  dialog.NodeShape->SetShape(stCircle);
  dialog.ShowValues();
  ASSERT_EQ(dialog.ShapeIndex(), 0);
  // A click on the item already picked still applies it.
  dialog.ShapeItem(0)->click();
  EXPECT_EQ(dialog.NodeShape->Shape(), stRectangle);
  dialog.ShapeItem(1)->click();
  EXPECT_EQ(dialog.NodeShape->Shape(), stEllipse);
  dialog.ShapeItem(2)->click();
  EXPECT_EQ(dialog.NodeShape->Shape(), stRoundRect);
  dialog.SetShapeIndex(1);
  EXPECT_EQ(dialog.NodeShape->Shape(), stEllipse);
}

TEST(EditShapeTest, ColorButtons) {
  TEditShape dialog;
  dialog.NodeShape->SetPen(TPen(clRed, 2, psDot));
  dialog.NodeShape->SetBrush(TBrush(clYellow, bsCross));
  dialog.PenColorButton->click();  // no chooser: nothing happens
  dialog.BrushColorButton->click();
  TChooser chooser;
  dialog.SetColorChooser(chooser.Function());
  chooser.Ok = false;
  dialog.PenColorButton->click();
  dialog.BrushColorButton->click();
  EXPECT_EQ(dialog.NodeShape->Pen(), TPen(clRed, 2, psDot));
  EXPECT_EQ(dialog.NodeShape->Brush(), TBrush(clYellow, bsCross));
  chooser.Ok = true;
  chooser.Answer = clBlue;
  dialog.PenColorButton->click();
  chooser.Answer = clLime;
  dialog.BrushColorButton->click();
  EXPECT_EQ(dialog.NodeShape->Pen(), TPen(clBlue, 2, psDot));
  EXPECT_EQ(dialog.NodeShape->Brush(), TBrush(clLime, bsCross));
  EXPECT_EQ(chooser.Started, (std::vector<TColor>{clRed, clYellow, clRed, clYellow}));
}

// ---------------------------------------------------------------------------
// About box

TEST(AboutBoxTest, Version) {
  TAboutBox about;
  EXPECT_EQ(about.MajorVersion(), 0);
  EXPECT_EQ(about.MinorVersion(), 94);
  EXPECT_EQ(about.VersionString(), "0.94");
  EXPECT_EQ(about.Version->text(), "Version 0.94");
  EXPECT_TRUE(about.Version->alignment() & Qt::AlignRight);
  EXPECT_TRUE(about.ProductName->font().bold());
  about.SetMinorVersion(5);
  EXPECT_EQ(about.VersionString(), "0.05");
  about.SetMajorVersion(12);
  about.SetMinorVersion(123);
  EXPECT_EQ(about.VersionString(), "12.123");
  EXPECT_EQ(about.Version->text(), "Version 12.123");
}

TEST(AboutBoxTest, CentredOnTheScreen) {
  QWidget window;
  window.setGeometry(0, 0, 200, 100);
  window.show();
  TAboutBox about(&window);
  about.show();
  const QPoint offset = about.frameGeometry().center() - about.screen()->availableGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2);
}

// ---------------------------------------------------------------------------
// Shape control

TEST(ShapeControlTest, PaintsTheShapeWithPenAndBrush) {
  struct TCase {
    const char* Name;
    TShapeType Shape;
    TPenStyle PenStyle;
    TBrushStyle BrushStyle;
    bool CornerOutlined;  // pixel (0, 0)
    bool SideOutlined;    // pixel (0, 15), the middle of the left side
    bool Filled;          // pixel (30, 15), the centre
  };
  const TCase cases[] = {
      {"rectangle", stRectangle, psSolid, bsSolid, true, true, true},
      {"clear pen", stRectangle, psClear, bsSolid, false, false, true},
      {"clear brush", stRectangle, psSolid, bsClear, true, true, false},
      {"ellipse", stEllipse, psSolid, bsSolid, false, true, true},
      {"rounded", stRoundRect, psSolid, bsSolid, false, true, true},
      // Square kinds take the height, centred: their left side is at x 15.
      {"square", stSquare, psSolid, bsSolid, false, false, true},
      {"circle", stCircle, psSolid, bsSolid, false, false, true},
  };
  for (const TCase& c : cases) {
    TShapeControl control;
    control.resize(60, 30);
    control.SetShape(c.Shape);
    control.SetPen(TPen(clRed, 1, c.PenStyle));
    control.SetBrush(TBrush(clBlue, c.BrushStyle));
    const QImage image = control.grab().toImage();
    EXPECT_EQ(IsMostly(image.pixel(0, 0), Red), c.CornerOutlined) << c.Name;
    EXPECT_EQ(IsMostly(image.pixel(0, 15), Red), c.SideOutlined) << c.Name;
    EXPECT_EQ(IsMostly(image.pixel(30, 15), Blue), c.Filled) << c.Name;
  }
  TShapeControl square;
  square.resize(60, 30);
  square.SetShape(stSquare);
  EXPECT_EQ(square.ShapeRect(), TRect(15, 0, 45, 30));
  square.SetPen(TPen(clRed, 4));
  EXPECT_EQ(square.ShapeRect(), TRect(17, 2, 44, 29));
}

// Within each dialog every accelerator leads to one control.
TEST(DialogsTest, AcceleratorsAreUniqueInEveryDialog) {
  TEditParentLine line;
  TEditShape shape;
  TAboutBox about;
  for (QDialog* dialog : std::initializer_list<QDialog*>{&line, &shape, &about}) {
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(test::MnemonicClashes(*dialog), std::vector<std::string>{})
        << dialog->objectName().toStdString();
    dialog->hide();
  }
}

// The font dialog opens on the family the format's font draws with ("Arial"
// is Liberation Sans here), with its style, and the format keeps its own
// family name unless another family is picked.
TEST(QtDialogsTest, TheFontDialogOpensOnTheFamilyTheFontResolvesTo) {
  TQtDialogs dialogs(nullptr);
  struct Case {
    const char* Pick;  // another family to pick, or none
    std::string Name;  // the format's family afterwards
  };
  const QString resolved = QFontInfo(QFont(QStringLiteral("Arial"))).family();
  for (const Case& c : {Case{nullptr, "Arial"}, Case{"DejaVu Sans", "DejaVu Sans"}}) {
    TFont font("Arial", 12, clBlack, {fsBold});
    QString shown;
    bool bold = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      shown = dialog->currentFont().family();
      bold = dialog->currentFont().bold();
      if (c.Pick) dialog->setCurrentFont(QFont(QString::fromUtf8(c.Pick), 12));
      dialog->accept();
    });
    ASSERT_TRUE(dialogs.ChooseFont(font));
    EXPECT_EQ(shown, resolved);
    EXPECT_TRUE(bold);
    EXPECT_EQ(font.Name(), c.Name);
  }
}

}  // namespace
}  // namespace vt
