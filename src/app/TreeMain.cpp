#include "app/TreeMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "app/FAbout.h"
#include "app/FLine.h"
#include "app/FShape.h"
#include "app/NodePanel.h"
#include "app/PictureView.h"
#include "app/TreePanel.h"
#include "foundation/Utils.h"
#include "foundation/XUtils.h"
#include "graphics/EmfWriter.h"
#include "graphics/qt/QPainterCanvas.h"
#include "graphics/qt/QtOutputs.h"

namespace vt {

namespace {

const char* const ZoomItems[] = {"500%", "200%", "175%",         "150%",          "125%", "100%",
                                 "75%",  "50%",  "Fit to width", "Fit to height", "Fit"};
const char* const OrientationItems[] = {"Top-Down", "Left-Right", "Bottom-Up", "Right-Left"};
const char* const MethodItems[] = {"Distribute", "Align", "Walker", "QP"};

// A small tree in a 16 x 16 frame: node centres and the parent of each
// (-1 for the root), drawn growing from the top.
struct TGlyph {
  std::vector<QPointF> Nodes;
  std::vector<int> Parents;
};

QPointF Orient(const QPointF& P, int Orientation) {
  switch (Orientation) {
    case 1:
      return {P.y(), P.x()};
    case 2:
      return {P.x(), 16 - P.y()};
    case 3:
      return {16 - P.y(), P.x()};
    default:
      return P;
  }
}

QIcon GlyphIcon(const TGlyph& Glyph, int Orientation) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(2, 2);
  p.setPen(QPen(QColor(70, 70, 70), 0.8));
  for (std::size_t i = 0; i < Glyph.Nodes.size(); ++i)
    if (Glyph.Parents[i] >= 0)
      p.drawLine(Orient(Glyph.Nodes[i], Orientation),
                 Orient(Glyph.Nodes[static_cast<std::size_t>(Glyph.Parents[i])], Orientation));
  p.setBrush(QColor(70, 120, 200));
  for (std::size_t i = 0; i < Glyph.Nodes.size(); ++i) {
    const QPointF c = Orient(Glyph.Nodes[i], Orientation);
    p.drawRect(QRectF(c.x() - 1.8, c.y() - 1.4, 3.6, 2.8));
  }
  return QIcon(pixmap);
}

const TGlyph TreeGlyph = {{{8, 2.5}, {4, 8}, {12, 8}, {2, 13.5}, {6, 13.5}}, {-1, 0, 0, 1, 1}};
const TGlyph MethodGlyphs[] = {
    {{{8, 2.5}, {4, 8}, {13, 8}, {2, 13.5}, {6, 13.5}}, {-1, 0, 0, 1, 1}},                     // Distribute
    {{{8, 2.5}, {6, 8}, {13, 13.5}, {2, 13.5}, {9, 13.5}}, {-1, 0, 0, 1, 1}},                  // Align
    {{{6.5, 2.5}, {4, 8}, {9, 8}, {2, 13.5}, {6, 13.5}}, {-1, 0, 0, 1, 1}},                    // Walker
    {{{8, 2.5}, {4, 8}, {12, 8}, {1.5, 13.5}, {6.5, 13.5}, {12, 13.5}}, {-1, 0, 0, 1, 1, 2}},  // QP
};

// Two overlapping pages.
QIcon CopyIcon() {
  QPixmap pixmap(40, 40);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(235, 235, 235));
  p.drawRoundedRect(QRectF(5, 4, 20, 25), 2, 2);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(15, 12, 20, 25), 2, 2);
  p.setPen(QPen(QColor(120, 120, 120), 1.5));
  for (int y : {19, 24, 29}) p.drawLine(QPointF(19, y), QPointF(31, y));
  return QIcon(pixmap);
}

QComboBox* NewListBox(const char* Name, const char* Hint, QWidget* Parent) {
  auto* box = new QComboBox(Parent);
  box->setObjectName(QString::fromUtf8(Name));
  box->setToolTip(QString::fromUtf8(Hint));
  box->setIconSize(QSize(16, 16));
  return box;
}

bool HasExtension(const std::string& FN) {
  return std::filesystem::path(FN).has_extension();
}

std::string ExtensionOf(int FilterIndex) {
  switch (FilterIndex) {
    case sfEmf:
      return ".emf";
    case sfBmp:
      return ".bmp";
    case sfPng:
      return ".png";
    case sfSvg:
      return ".svg";
    case sfPdf:
      return ".pdf";
    default:
      return ".vrt";
  }
}

std::optional<TPictureFormat> PictureFormatOfFilter(int FilterIndex) {
  switch (FilterIndex) {
    case sfEmf:
      return TPictureFormat::Emf;
    case sfBmp:
      return TPictureFormat::Bmp;
    case sfPng:
      return TPictureFormat::Png;
    case sfSvg:
      return TPictureFormat::Svg;
    case sfPdf:
      return TPictureFormat::Pdf;
    default:
      return std::nullopt;
  }
}

bool IsTreeDocumentName(const std::string& FN) {
  return AnsiSameText(std::filesystem::path(FN).extension().string(), ".vrt");
}

// RAII: FUpdate clear for the scope.
class TUpdateLock {
 public:
  explicit TUpdateLock(bool& AFlag) : FFlag(AFlag), FOld(AFlag) { FFlag = false; }
  ~TUpdateLock() { FFlag = FOld; }
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

TVarnTreeForm::TVarnTreeForm(std::unique_ptr<TDialogs> ADialogs, QWidget* AParent)
    : QMainWindow(AParent),
      FDocument(std::make_unique<TVarnTreeDocument>(&FMeasurer)),
      FDialogs(std::move(ADialogs)) {
  if (!FDialogs) FDialogs = std::make_unique<TQtDialogs>(this);
  setObjectName(QStringLiteral("VarnTreeForm"));
  setWindowTitle(QString::fromUtf8(SAppCaption));
  setWindowIcon(GlyphIcon(TreeGlyph, 0));
  FUpdate = false;
  CreateActions();
  CreateMenu();
  CreateToolBar();
  CreatePictureArea();
  CreatePages();
  CreateDialogs();
  CreateStatusBar();
  ConnectHandlers();
  // The document has set the default formats and drawer defaults.
  SetTreeFormParameters();
  FUpdate = true;
  UpdateForm(false, false);
  MainPageControl->setTabVisible(MainPageControl->indexOf(DebugPage), false);
  resize(792, 613 + menuBar()->sizeHint().height());
}

TVarnTreeForm::~TVarnTreeForm() {
  // The widgets outlive the document by a little: nothing may reach it
  // while they go.
  FUpdate = false;
  ScrollBox->removeEventFilter(this);
  ScrollBox->viewport()->removeEventFilter(this);
  // A line edit that loses the focus as the widgets go finishes its editing.
  ZoomBox->lineEdit()->disconnect(this);
  for (QAbstractSpinBox* field : findChildren<QAbstractSpinBox*>())
    if (auto* edit = field->findChild<QLineEdit*>()) edit->disconnect(this);
  for (QSpinBox* field :
       {NodePage->NodeMinWidth, NodePage->NodeMaxWidth, NodePage->NodeMinHeight, NodePage->NodeMaxHeight})
    field->removeEventFilter(this);
  DrawImage->SetPicture(nullptr);
}

// ---------------------------------------------------------------------------
// Building the window.

void TVarnTreeForm::CreateActions() {
  auto action = [this](const char* Name, const char* Caption, QKeySequence Key = {}) {
    auto* a = new QAction(QString::fromUtf8(Caption), this);
    a->setObjectName(QString::fromUtf8(Name));
    a->setShortcut(Key);
    return a;
  };
  OpenItem = action("OpenItem", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
  SaveItem = action("SaveItem", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAsItem = action("SaveAsItem", "Save &As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  ExitItem = action("ExitItem", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q));
  CopyItem = action("CopyItem", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
  AboutItem = action("AboutItem", "&About...");
  ZoomInAction = action("ZoomInAction", "Zoom in", QKeySequence(Qt::CTRL | Qt::Key_Plus));
  ZoomInAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  ZoomOutAction = action("ZoomOutAction", "Zoom out", QKeySequence(Qt::CTRL | Qt::Key_Minus));
  ZoomResetAction = action("ZoomResetAction", "Zoom 100%", QKeySequence(Qt::CTRL | Qt::Key_0));
  addActions({ZoomInAction, ZoomOutAction, ZoomResetAction});
  // The toolbar's own buttons: they hide without a picture while the menu
  // items only grey out.
  QStyle* s = style();
  OpenButton = action("OpenButton", "Open");
  OpenButton->setIcon(
      QIcon::fromTheme(QStringLiteral("document-open"), s->standardIcon(QStyle::SP_DialogOpenButton)));
  SaveButton = action("SaveButton", "Save");
  SaveButton->setIcon(
      QIcon::fromTheme(QStringLiteral("document-save"), s->standardIcon(QStyle::SP_DialogSaveButton)));
  CopyButton = action("CopyButton", "Copy");
  CopyButton->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy"), CopyIcon()));
  for (QAction* a : {OpenItem, SaveItem, SaveAsItem, CopyItem, OpenButton, SaveButton, CopyButton})
    a->setToolTip(a->text().remove(u'&').remove(QStringLiteral("...")));
}

void TVarnTreeForm::CreateMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("FileMenu"));
  file->addAction(OpenItem);
  file->addAction(SaveItem);
  file->addAction(SaveAsItem);
  file->addSeparator();
  file->addAction(ExitItem);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("EditMenu"));
  edit->addAction(CopyItem);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  help->addAction(AboutItem);
}

void TVarnTreeForm::CreateToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(20, 20));
  bar->setFixedHeight(30);
  bar->addAction(OpenButton);
  bar->addAction(SaveButton);
  bar->addAction(CopyButton);

  ZoomBox = NewListBox("ZoomBox", "Zoom", bar);
  ZoomBox->setEditable(true);
  ZoomBox->setInsertPolicy(QComboBox::NoInsert);
  ZoomBox->setMaxVisibleItems(10);
  for (const char* item : ZoomItems) ZoomBox->addItem(QString::fromUtf8(item));
  ZoomBox->setCurrentIndex(5);
  ZoomBox->setEditText(QStringLiteral("100%"));
  ZoomBox->setMinimumContentsLength(11);
  FAppliedZoomText = ZoomBox->currentText();

  OrientationBox = NewListBox("OrientationBox", "Orientation", bar);
  for (int i = 0; i < 4; ++i)
    OrientationBox->addItem(GlyphIcon(TreeGlyph, i), QString::fromUtf8(OrientationItems[i]));
  MethodBox = NewListBox("MethodBox", "Placement", bar);
  for (int i = 0; i < 4; ++i)
    MethodBox->addItem(GlyphIcon(MethodGlyphs[i], 0), QString::fromUtf8(MethodItems[i]));
  // Only the zoom box shows its hint.
  OrientationBox->setToolTip({});
  MethodBox->setToolTip({});
  OrientationBox->setAccessibleName(QStringLiteral("Orientation"));
  MethodBox->setAccessibleName(QStringLiteral("Placement"));

  bar->addSeparator();
  ZoomBoxAction = bar->addWidget(ZoomBox);
  OrientationBoxAction = bar->addWidget(OrientationBox);
  MethodBoxAction = bar->addWidget(MethodBox);
  ZoomBoxAction->setObjectName(QStringLiteral("ZoomBoxAction"));
  OrientationBoxAction->setObjectName(QStringLiteral("OrientationBoxAction"));
  MethodBoxAction->setObjectName(QStringLiteral("MethodBoxAction"));
}

void TVarnTreeForm::CreatePictureArea() {
  ScrollBox = new QScrollArea(this);
  ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
  ScrollBox->setMinimumSize(300, 550);
  ScrollBox->setBackgroundRole(QPalette::Dark);
  ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ScrollBox->setWidgetResizable(false);
  ScrollBox->installEventFilter(this);
  ScrollBox->viewport()->installEventFilter(this);
  // The image sits on a host as large as the client area or the image, so
  // that PositionImage places it itself.
  ImageHost = new QWidget;
  ImageHost->setObjectName(QStringLiteral("ImageHost"));
  DrawImage = new TPictureView(FMeasurer, ImageHost);
  DrawImage->setGeometry(0, 0, 0, 0);
  ScrollBox->setWidget(ImageHost);
}

void TVarnTreeForm::CreatePages() {
  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  MainPageControl = new QTabWidget(central);
  MainPageControl->setObjectName(QStringLiteral("MainPageControl"));
  MainPageControl->setFixedWidth(194 + 30);
  TreePage = new TTreePanel(MainPageControl);
  NodePage = new TNodePanel(MainPageControl);
  DebugPage = CreateDebugPage();
  MainPageControl->addTab(TreePage, QStringLiteral("&Tree"));
  MainPageControl->addTab(NodePage, QStringLiteral("&Node"));
  MainPageControl->addTab(DebugPage, QStringLiteral("Debug"));
  layout->addWidget(ScrollBox, 1);
  layout->addWidget(MainPageControl);
  setCentralWidget(central);
}

QWidget* TVarnTreeForm::CreateDebugPage() {
  auto* page = new QWidget(MainPageControl);
  page->setObjectName(QStringLiteral("DebugPage"));
  auto* layout = new QVBoxLayout(page);
  auto button = [&](const char* Name, const char* Caption, std::function<void()> Action) {
    auto* b = new QPushButton(QString::fromUtf8(Caption), page);
    b->setObjectName(QString::fromUtf8(Name));
    layout->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, Action] { RunCommand(Action); });
  };
  button("ReDrawButton", "Redraw", [this] { UpdateForm(false, true); });
  button("SampleTreeBtn", "Sample tree", [this] {
    FDocument->CreateSampleTree();
    TreeLoaded();
  });
  button("BalTreeBtn", "Balanced tree", [this] {
    FDocument->CreateBalancedTree();
    TreeLoaded();
  });
  button("RandTreeBtn", "Random tree", [this] {
    FDocument->CreateRandomTree();
    TreeLoaded();
  });
  layout->addStretch(1);
  return page;
}

void TVarnTreeForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  const int widths[4] = {82, 70, 60, 50};
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
    panel->setMinimumWidth(widths[i]);
    panel->setAlignment(i < 3 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    if (i < 3) panel->setFixedWidth(widths[i]);
    bar->addWidget(panel, i < 3 ? 0 : 1);
    StatusPanels[i] = panel;
  }
}

void TVarnTreeForm::Connect(QAction* Action, void (TVarnTreeForm::*Command)()) {
  connect(Action, &QAction::triggered, this,
          [this, Command] { RunCommand([this, Command] { (this->*Command)(); }); });
}

void TVarnTreeForm::ConnectHandlers() {
  Connect(OpenItem, &TVarnTreeForm::OpenClick);
  Connect(OpenButton, &TVarnTreeForm::OpenClick);
  Connect(SaveItem, &TVarnTreeForm::SaveClick);
  Connect(SaveButton, &TVarnTreeForm::SaveClick);
  Connect(SaveAsItem, &TVarnTreeForm::SaveAsClick);
  Connect(CopyItem, &TVarnTreeForm::CopyClick);
  Connect(CopyButton, &TVarnTreeForm::CopyClick);
  Connect(AboutItem, &TVarnTreeForm::AboutClick);
  connect(ExitItem, &QAction::triggered, this, &QWidget::close);
  for (auto [zoom, direction] :
       {std::pair{ZoomInAction, 1}, std::pair{ZoomOutAction, -1}, std::pair{ZoomResetAction, 0}})
    connect(zoom, &QAction::triggered, this,
            [this, d = direction] { RunCommand([this, d] { StepZoom(d); }); });

  connect(ZoomBox, &QComboBox::activated, this, [this] { RunCommand([this] { ZoomBoxClick(); }); });
  // A typed zoom applies on Enter and when the box is left. The keys of the
  // user's keyboard reach the combo box, which hands them to its line edit
  // past any event filter: its signals are where they show.
  connect(ZoomBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    ZoomBox->hidePopup();
    RunCommand([this] { ZoomBoxExit(); });
    focusNextChild();
  });
  connect(ZoomBox->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { RunCommand([this] { ZoomBoxExit(); }); });
  connect(OrientationBox, &QComboBox::currentIndexChanged, this,
          [this] { RunCommand([this] { VarnToolClick(); }); });
  connect(MethodBox, &QComboBox::currentIndexChanged, this,
          [this] { RunCommand([this] { VarnTreeClick(); }); });

  TTreePanel* p = TreePage;
  for (QSpinBox* field : {p->LeftBorder, p->TopBorder, p->RightBorder, p->BottomBorder, p->NodeSep,
                          p->LevelSep, p->MinLevelSep})
    connect(field, &QSpinBox::valueChanged, this, [this] { RunCommand([this] { VarnTreeClick(); }); });
  for (QSpinBox* field : {p->StretchX, p->StretchY})
    connect(field, &QSpinBox::valueChanged, this,
            [this, field] { RunCommand([this, field] { StretchChange(field); }); });
  for (QCheckBox* check : {p->AlignLevelsCheck, p->AlignParentsCheck, p->MirrorCheck})
    connect(check, &QCheckBox::toggled, this, [this] { RunCommand([this] { VarnTreeClick(); }); });
  connect(p->ColorButton, &QPushButton::clicked, this,
          [this] { RunCommand([this] { ColorButtonClick(); }); });
  ConnectNodeHandlers();
  DelaySpinFieldTyping();
  // Lists close at once, so none is left painted over a long drawing.
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
}

// ---------------------------------------------------------------------------
// Commands and their reporting.

void TVarnTreeForm::RunCommand(const std::function<void()>& Command) {
  try {
    Command();
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    FDialogs->ShowError(UserMessage(e));
  }
}

void TVarnTreeForm::WithoutUpdate(const std::function<void()>& Fill) {
  TUpdateLock lock(FUpdate);
  Fill();
}

void TVarnTreeForm::OpenCommandLineFile(const std::string& FileName) {
  RunCommand([&] {
    const std::string path = ExpandFileName(FileName);
    if (AnsiSameText(std::filesystem::path(path).extension().string(), ".vrn"))
      FDocument->LoadVarnFile(path);
    else
      FDocument->LoadVarnTreeFile(path, true, true);
    TreeLoaded();
  });
}

void TVarnTreeForm::TreeLoaded(bool NewTree) {
  FillNodeBoxes();
  UpdateForm(FDocument->FileModified(), true);
  if (NewTree) ScrollToRoot();
}

void TVarnTreeForm::ScrollToRoot() {
  const TVarnNode* root = HasPicture() ? TreeDrawer().VarnRoot() : nullptr;
  if (!root) return;
  const TRect r = root->NodeRect();
  const double scale = FZoomPercent / 100.0;
  const QPoint centre =
      DrawImage->mapTo(ScrollBox->widget(), QPoint(RoundHalfEven((r.Left + r.Right) / 2.0 * scale),
                                                   RoundHalfEven((r.Top + r.Bottom) / 2.0 * scale)));
  const QSize view = ScrollBox->viewport()->size();
  ScrollBox->horizontalScrollBar()->setValue(centre.x() - view.width() / 2);
  ScrollBox->verticalScrollBar()->setValue(centre.y() - view.height() / 2);
}

void TVarnTreeForm::OpenClick() {
  CheckFileSave();
  // The dialog starts where the current tree came from.
  TFileDialogRequest request{SOpenTitle, SOpenFilter, FOpenFilterIndex, FDocument->LoadFileName(),
                             SOpenDefaultExt};
  if (!FDialogs->OpenFile(request)) return;
  FOpenFilterIndex = request.FilterIndex;
  const std::string path = ExpandFileName(request.FileName);
  if (FOpenFilterIndex == ofModel)
    FDocument->LoadVarnFile(path);
  else
    FDocument->LoadVarnTreeFile(path, FOpenFilterIndex == ofTreeDocument || FOpenFilterIndex == ofFormatsOnly,
                                FOpenFilterIndex == ofTreeDocument || FOpenFilterIndex == ofTreeOnly);
  TreeLoaded(FOpenFilterIndex != ofFormatsOnly);
}

void TVarnTreeForm::CheckFileSave() {
  if (!FDocument->FileModified()) return;
  const std::string& saveName = FDocument->SaveFileName();
  const std::string question =
      saveName.empty() ? std::string(SSaveQuestion) : Fmt(SSaveQuestionNamed, saveName);
  switch (FDialogs->Ask(question)) {
    case TAnswer::Cancel:
      throw EAbort();
    case TAnswer::Yes:
      // A save that did not happen (its dialog or the overwrite question
      // cancelled) must not let the changes go.
      if (!SaveFile(false)) throw EAbort();
      break;
    case TAnswer::No:
      break;
  }
}

bool TVarnTreeForm::SaveFile(bool Ask) {
  const std::string& saveName = FDocument->SaveFileName();
  if (!saveName.empty()) return SaveToFile(saveName, Ask);
  std::filesystem::path proposed(FDocument->LoadFileName());
  proposed.replace_extension();
  return SaveToFile(proposed.string(), true);
}

bool TVarnTreeForm::SaveToFile(std::string FN, bool Ask) {
  if (!HasPicture()) return false;
  const bool ChoseInDialog = Ask || Trim(FN).empty();
  if (ChoseInDialog) {
    TFileDialogRequest request{SSaveTitle, SSaveFilter, FSaveFilterIndex, FN, {}};
    if (!FDialogs->SaveFile(request)) return false;
    FSaveFilterIndex = request.FilterIndex;
    FN = ExpandFileName(request.FileName);
    if (!HasExtension(FN)) FN += ExtensionOf(FSaveFilterIndex);
    // Asked about the file that will really be written.
    if (std::filesystem::exists(FN) && FDialogs->Ask(Fmt(SOverwriteQuestion, FN)) != TAnswer::Yes)
      return false;
  } else if (!HasExtension(FN)) {
    FN += ExtensionOf(FSaveFilterIndex);
  }
  // A name that tells an offered format is written in it; any other name in
  // the format of the filter.
  std::optional<TPictureFormat> format = PictureFormatOfFileName(FN);
  if (!format && !IsTreeDocumentName(FN)) {
    if (ChoseInDialog)
      format = PictureFormatOfFilter(FSaveFilterIndex);
    else if (FN == FPictureSaveName)
      format = FPictureSaveFormat;
  }
  if (format) {
    TQtPictureWriter().Save(*FDocument->MetaFile(), FMeasurer, FN, *format);
    FDocument->SetSaveFileName(FN);
    FDocument->SetFileModified(false);
    FPictureSaveName = FN;
    FPictureSaveFormat = *format;
  } else {
    FDocument->SaveTreeDocument(FN);
  }
  UpdateForm(false, true);
  return true;
}

void TVarnTreeForm::CopyClick() {
  if (!HasPicture()) return;
  const TMetafile& picture = *FDocument->MetaFile();
  auto data = std::make_unique<QMimeData>();
  data->setImageData(RenderImage(picture, FMeasurer, FZoomPercent));
  data->setData(QStringLiteral("image/svg+xml"), SvgBytes(picture, FMeasurer));
  // The metafile too, for programs that take it by its MIME type.
  const std::vector<std::uint8_t> emf = EmfBytes(picture, FMeasurer);
  data->setData(QStringLiteral("image/x-emf"),
                QByteArray(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size())));
  QGuiApplication::clipboard()->setMimeData(data.release());
}

void TVarnTreeForm::closeEvent(QCloseEvent* Event) {
  try {
    CheckFileSave();
    Event->accept();
  } catch (const EAbort&) {
    Event->ignore();
  } catch (const std::exception& e) {
    // A failed save keeps the window open; say why.
    FDialogs->ShowError(UserMessage(e));
    Event->ignore();
  }
}

// ---------------------------------------------------------------------------
// Refresh.

void TVarnTreeForm::DelaySpinFieldTyping() {
  FTypingPause = new QTimer(this);
  FTypingPause->setSingleShot(true);
  FTypingPause->setInterval(TypingPauseMilliseconds);
  connect(FTypingPause, &QTimer::timeout, this, [this] {
    if (FTypedField) FTypedField->interpretText();
  });
  for (QAbstractSpinBox* field : findChildren<QAbstractSpinBox*>()) {
    field->setKeyboardTracking(false);
    connect(field->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this, field] {
      FTypedField = field;
      FTypingPause->start();
    });
  }
}

void TVarnTreeForm::DrawTree() {
  // A drawing that takes a while shows a busy cursor and says so, with any
  // list that started it closed and the window painted first.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
  const bool slow = FLastDrawMilliseconds >= SlowDrawMilliseconds ||
                    (TreeDrawer().DrawMethod() == dmQP && NodePage->NodesBox->count() >= SlowQPNodes);
  if (slow) {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->hide();
    StatusPanels[3]->setText(QString::fromUtf8(SStatusDrawing));
    // The window system's repaints of what the list covered, but no input
    // and no typing pause, which would start another drawing.
    if (FTypingPause) FTypingPause->stop();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
  }
  QElapsedTimer clock;
  clock.start();
  const auto measure = qScopeGuard([this, &clock] { FLastDrawMilliseconds = clock.elapsed(); });
  ++FDrawingCount;
  DrawImage->SetPicture(nullptr);
  try {
    FDocument->DrawTree();
  } catch (...) {
    DrawImage->SetPicture(FDocument->MetaFile());
    throw;
  }
  DrawImage->SetPicture(FDocument->MetaFile());
}

void TVarnTreeForm::UpdateForm(bool Modify, bool Redraw) {
  if (!FUpdate) return;
  if (Modify) FDocument->SetFileModified(true);
  try {
    if (Redraw) {
      SetTreeDrawerParameters();
      DrawTree();
      PositionImage();
      // The fit zoom follows the size just drawn; the picture area paints at
      // any zoom, so it need not be drawn again.
      if (FitInForce()) {
        ApplyZoom();
        PositionImage();
      }
    }
  } catch (...) {
    UpdateControls();
    throw;
  }
  UpdateControls();
}

void TVarnTreeForm::UpdateControls() {
  const bool p = HasPicture();
  // A tree whose placement failed keeps the controls that can mend it (the
  // method, a separation); only saving and copying need the picture.
  const bool editable = p || FDocument->VarnRoot() != nullptr;
  for (QAction* a : {SaveItem, SaveAsItem, CopyItem}) a->setEnabled(p);
  for (QAction* a : {SaveButton, CopyButton}) a->setVisible(p);
  for (QAction* a : {ZoomBoxAction, OrientationBoxAction, MethodBoxAction}) a->setVisible(editable);
  MainPageControl->setTabVisible(MainPageControl->indexOf(TreePage), editable);
  MainPageControl->setTabVisible(MainPageControl->indexOf(NodePage), editable);
  if (p) {
    const TVarnTreeDrawer& drawer = TreeDrawer();
    StatusPanels[0]->setText(QString::fromStdString(Fmt(SStatusSize, drawer.BoxWidth(), drawer.BoxHeight())));
    StatusPanels[1]->setText(QString::fromStdString(Fmt(SStatusZoom, FZoomPercent)));
    StatusPanels[2]->setText(FDocument->FileModified() ? QString::fromUtf8(SStatusModified) : QString());
    const std::string& save = FDocument->SaveFileName();
    const std::string& load = FDocument->LoadFileName();
    std::string files;
    if (save.empty())
      files = Fmt(SStatusLoaded, load);
    else if (save == load)
      files = save;
    else
      files = Fmt(SStatusSavedLoaded, save, load);
    StatusPanels[3]->setText(QString::fromStdString(files));
  } else {
    for (int i = 0; i < 3; ++i) StatusPanels[i]->clear();
  }
  UpdateNodeControls();
}

// ---------------------------------------------------------------------------
// Zoom.

bool TVarnTreeForm::FitInForce() const {
  const int index = ZoomBox->currentIndex();
  return ZoomBox->currentText().contains(QString::fromUtf8(SFitTag)) && index >= ZoomFitWidth &&
         index <= ZoomFit;
}

bool TVarnTreeForm::ApplyZoom() {
  const QString text = ZoomBox->currentText();
  const int index = ZoomBox->currentIndex();
  const bool fit = FitInForce();
  int zoom = FZoomPercent;
  if (fit) {
    const QSize client = ScrollBox->maximumViewportSize();
    const int bar = ScrollBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox);
    const int boxWidth = HasPicture() ? TreeDrawer().BoxWidth() : 0;
    const int boxHeight = HasPicture() ? TreeDrawer().BoxHeight() : 0;
    // A box without width or height cannot be fitted in that direction.
    const long long byWidth = boxWidth > 0 ? client.width() * 100LL / boxWidth : -1;
    const long long byHeight = boxHeight > 0 ? client.height() * 100LL / boxHeight : -1;
    // Fitted to one side, the picture may overflow the other, whose scroll
    // bar then takes its room from the fitted side. Fitted to both, it
    // overflows neither.
    const auto zoomed = [this](long long Zoom) {
      return TPictureView::ZoomedSize(*FDocument->MetaFile(),
                                      static_cast<int>(std::min<long long>(Zoom, 100000)));
    };
    long long fitted = -1;
    if (index == ZoomFitWidth) {
      fitted = byWidth;
      if (fitted >= 0 && zoomed(fitted).height() > client.height())
        fitted = std::max(client.width() - bar, 0) * 100LL / boxWidth;
    } else if (index == ZoomFitHeight) {
      fitted = byHeight;
      if (fitted >= 0 && zoomed(fitted).width() > client.width())
        fitted = std::max(client.height() - bar, 0) * 100LL / boxHeight;
    } else if (byWidth >= 0 && byHeight >= 0) {
      fitted = std::min(byWidth, byHeight);
    } else {
      fitted = std::max(byWidth, byHeight);
    }
    if (fitted >= 0) zoom = static_cast<int>(std::min<long long>(fitted, 100000));
  } else {
    std::string digits = Trim(text.toStdString());
    std::erase(digits, '%');
    zoom = StrToInt(digits);
  }
  FZoomPercent = std::max(zoom, 1);
  FAppliedZoomText = text;
  return fit;
}

void TVarnTreeForm::ZoomBoxClick() {
  if (!HasPicture()) return;
  ApplyZoom();
  UpdateForm(false, true);
}

void TVarnTreeForm::ZoomBoxExit() {
  if (ZoomBox->currentText() == FAppliedZoomText) return;
  try {
    ApplyZoom();
  } catch (const EConvertError&) {
    // Reported once; the box shows the zoom in force again.
    ZoomBox->setEditText(QString::fromStdString(Fmt(SZoomText, FZoomPercent)));
    FAppliedZoomText = ZoomBox->currentText();
    throw;
  }
  UpdateForm(false, true);
}

void TVarnTreeForm::OpenWhenShown(const std::string& FileName) {
  FFileWhenShown = FileName;
  winId();  // the window's handle, to hear of its exposure
  windowHandle()->installEventFilter(this);
}

void TVarnTreeForm::StepZoom(int Direction) {
  if (!HasPicture()) return;
  // The percentages of the zoom list, from the smallest.
  static const std::vector<int> Steps = [] {
    std::vector<int> steps;
    for (const char* item : ZoomItems)
      if (std::isdigit(static_cast<unsigned char>(item[0]))) steps.push_back(std::atoi(item));
    std::sort(steps.begin(), steps.end());
    return steps;
  }();
  int zoom = 100;
  if (Direction > 0) {
    const auto next = std::upper_bound(Steps.begin(), Steps.end(), FZoomPercent);
    zoom = next != Steps.end() ? *next : std::min(FZoomPercent + std::max(FZoomPercent / 4, 1), 100000);
  } else if (Direction < 0) {
    const auto next = std::lower_bound(Steps.begin(), Steps.end(), FZoomPercent);
    zoom = next != Steps.begin() ? *(next - 1) : std::max(FZoomPercent - FZoomPercent / 5, 1);
  }
  const QString text = QString::fromStdString(Fmt(SZoomText, zoom));
  ZoomBox->setCurrentIndex(ZoomBox->findText(text));
  ZoomBox->setEditText(text);
  ApplyZoom();
  UpdateForm(false, true);
}

bool TVarnTreeForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == ScrollBox->viewport() && Event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(Event);
    if (wheel->modifiers() & Qt::ControlModifier) {
      if (const int delta = wheel->angleDelta().y(); delta != 0)
        RunCommand([this, delta] { StepZoom(delta > 0 ? 1 : -1); });
      return true;
    }
  }
  if (Watched == windowHandle() && Event->type() == QEvent::Expose && windowHandle()->isExposed() &&
      !FFileWhenShown.empty()) {
    windowHandle()->removeEventFilter(this);
    QTimer::singleShot(0, this,
                       [this, file = std::exchange(FFileWhenShown, {})] { OpenCommandLineFile(file); });
  }
  if (Watched == ScrollBox && Event->type() == QEvent::Resize) {
    // A fitted picture keeps fitting the area it is shown in; the picture
    // area paints at any zoom, so nothing is drawn again.
    if (FitInForce() && HasPicture()) {
      ApplyZoom();
      UpdateControls();
    }
    PositionImage();
  }
  if (const int slot = DimSlot(qobject_cast<QSpinBox*>(Watched)); slot >= 0) {
    auto* field = static_cast<QSpinBox*>(Watched);
    if (Event->type() == QEvent::FocusIn)
      NodeDimEnter(field);
    else if (Event->type() == QEvent::FocusOut)
      NodeDimExit(field);
  }
  return QMainWindow::eventFilter(Watched, Event);
}

void TVarnTreeForm::PositionImage() {
  const QSize image =
      HasPicture() ? TPictureView::ZoomedSize(*FDocument->MetaFile(), FZoomPercent) : QSize(0, 0);
  // The client area is what the scroll bars that the image needs leave.
  const QSize most = ScrollBox->maximumViewportSize();
  const int bar = ScrollBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox);
  bool across = image.width() > most.width(), down = image.height() > most.height();
  if (across && !down) down = image.height() > most.height() - bar;
  if (down && !across) across = image.width() > most.width() - bar;
  const QSize client(most.width() - (down ? bar : 0), most.height() - (across ? bar : 0));
  // A smaller image is centred, a larger one starts at the top-left corner
  // of the scrolled area (the scroll area subtracts the scroll position).
  ImageHost->resize(std::max(image.width(), client.width()), std::max(image.height(), client.height()));
  const int left = image.width() < client.width() ? (client.width() - image.width()) / 2 : 0;
  const int top = image.height() < client.height() ? (client.height() - image.height()) / 2 : 0;
  DrawImage->setGeometry(left, top, image.width(), image.height());
  DrawImage->update();
}

void TVarnTreeForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  PositionImage();
}

// ---------------------------------------------------------------------------
// Tree parameters.

void TVarnTreeForm::SetTreeFormParameters() {
  WithoutUpdate([this] { TreeDrawerToData(TreeDrawer()); });
}

void TVarnTreeForm::TreeDrawerToData(const TVarnTreeDrawer& ADrawer) {
  TTreePanel& p = *TreePage;
  p.StretchX->setValue(RoundHalfEven(ADrawer.XStretch() * 100));
  p.StretchY->setValue(RoundHalfEven(ADrawer.YStretch() * 100));
  p.TopBorder->setValue(ADrawer.Border().Top);
  p.BottomBorder->setValue(ADrawer.Border().Bottom);
  p.LeftBorder->setValue(ADrawer.Border().Left);
  p.RightBorder->setValue(ADrawer.Border().Right);
  p.NodeSep->setValue(RoundHalfEven(ADrawer.NodeSeparation()));
  p.LevelSep->setValue(RoundHalfEven(ADrawer.LevelSeparation()));
  p.MinLevelSep->setValue(RoundHalfEven(ADrawer.MinLevelSeparation()));
  OrientationBox->setCurrentIndex(static_cast<int>(ADrawer.Orientation()));
  int method = static_cast<int>(ADrawer.DrawMethod()) + 1;
  if (ADrawer.DrawMethod() == TTreeDrawMethod::dmBottomUp && !ADrawer.AlignTerminals()) method = 0;
  MethodBox->setCurrentIndex(method);
  p.MirrorCheck->setChecked(ADrawer.XMirror());
  p.AlignLevelsCheck->setChecked(ADrawer.AlignLevels());
  p.AlignParentsCheck->setChecked(ADrawer.AlignParents() == TTreeAlignParents::apSubtree);
}

void TVarnTreeForm::TreeDataToDrawer(TVarnTreeDrawer& ADrawer) {
  TTreePanel& p = *TreePage;
  // Through the setter, so the drawer always counts as changed; the right
  // value follows below.
  ADrawer.SetAlignParents(ADrawer.AlignParents() == TTreeAlignParents::apSubtree
                              ? TTreeAlignParents::apDescendants
                              : TTreeAlignParents::apSubtree);
  ADrawer.SetXStretch(p.StretchX->value() / 100.0);
  ADrawer.SetYStretch(p.StretchY->value() / 100.0);
  ADrawer.SetBorder(
      TRect(p.LeftBorder->value(), p.TopBorder->value(), p.RightBorder->value(), p.BottomBorder->value()));
  ADrawer.SetNodeSeparation(p.NodeSep->value());
  ADrawer.SetLevelSeparation(p.LevelSep->value());
  ADrawer.SetMinLevelSeparation(p.MinLevelSep->value());
  if (OrientationBox->currentIndex() >= 0)
    ADrawer.SetOrientation(static_cast<TTreeOrientation>(OrientationBox->currentIndex()));
  ADrawer.SetXMirror(p.MirrorCheck->isChecked());
  ADrawer.SetAlignLevels(p.AlignLevelsCheck->isChecked());
  ADrawer.SetAlignParents(p.AlignParentsCheck->isChecked() ? TTreeAlignParents::apSubtree
                                                           : TTreeAlignParents::apDescendants);
  switch (MethodBox->currentIndex()) {
    case 0:
      ADrawer.SetDrawMethod(TTreeDrawMethod::dmBottomUp);
      ADrawer.SetAlignTerminals(false);
      break;
    case 1:
      ADrawer.SetDrawMethod(TTreeDrawMethod::dmBottomUp);
      ADrawer.SetAlignTerminals(true);
      break;
    case 2:
      ADrawer.SetDrawMethod(TTreeDrawMethod::dmWalker);
      ADrawer.SetAlignTerminals(false);
      break;
    case 3:
      ADrawer.SetDrawMethod(TTreeDrawMethod::dmQP);
      ADrawer.SetAlignTerminals(false);
      break;
    default:
      break;
  }
}

void TVarnTreeForm::StretchChange(QSpinBox* Sender) {
  if (!FUpdate || (Sender != TreePage->StretchX && Sender != TreePage->StretchY)) return;
  if (Sender->value() <= 0) WithoutUpdate([Sender] { Sender->setValue(2); });
  VarnTreeClick();
}

void TVarnTreeForm::ColorButtonClick() {
  TColor color = FDocument->BackgroundColor();
  if (!FDialogs->ChooseColor(color)) return;
  FDocument->SetBackgroundColor(color);
  UpdateForm(true, true);
}

}  // namespace vt

namespace vt {

int RunVarnTreeWindow(int argc, char** argv, const std::string& FileName) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fputs(SNoDisplay, stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(SAppCaption));
  TVarnTreeForm form;
  form.show();
  if (!FileName.empty()) form.OpenWhenShown(FileName);
  return application.exec();
}

}  // namespace vt
