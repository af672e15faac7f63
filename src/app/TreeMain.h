// The main window: holds the document, the zoom and the controls, keeps them
// in step through UpdateForm, and runs the file commands with their dialogs
// and questions. Layout, formats and files are the document's business.
#pragma once

#include <QAbstractSpinBox>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/Dialogs.h"
#include "document/Document.h"
#include "foundation/Base.h"
#include "graphics/PictureWriter.h"
#include "graphics/qt/QtMeasurer.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;

namespace vt {

class TAboutBox;
class TEditParentLine;
class TEditShape;
class TNodePanel;
class TPictureView;
class TTreePanel;

inline constexpr const char* SAppCaption = "VarnTree";
inline constexpr const char* SOpenTitle = "Open File";
inline constexpr const char* SOpenDefaultExt = "vrn";
inline constexpr const char* SOpenFilter =
    "Varn file (*.vrn)|*.vrn|VarnTree file (*.vrt)|*.vrt|VarnTree file [format only] (*.vrt)|*.vrt|"
    "VarnTree file [tree only] (*.vrt)|*.vrt";
inline constexpr const char* SSaveTitle = "Save Picture to File";
// The first three filters keep their indexes (1 tree document, 2 metafile,
// 3 bitmap); the formats Qt adds follow them.
inline constexpr const char* SSaveFilter =
    "VarnTree file (*.vrt)|*.vrt|Extended Metafile (*.emf)|*.emf|Bitmap (*.bmp)|*.bmp|"
    "PNG image (*.png)|*.png|SVG picture (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
inline constexpr const char* SOverwriteQuestion = "Datoteka \"%s\" že obstaja. Ali jo želite prepisati?";
inline constexpr const char* SSaveQuestionNamed = "Tree not saved. Do you want to save it to \"%s\"?";
inline constexpr const char* SSaveQuestion = "Tree not saved. Do you want to save it to file?";
inline constexpr const char* SStatusSize = "%d x %d";
inline constexpr const char* SStatusZoom = "%d%%";
inline constexpr const char* SStatusModified = "Modified";
// Shown while a drawing that takes a while is under way.
inline constexpr const char* SStatusDrawing = "Drawing the tree...";
// A drawing is expected to take a while after one that took this long, or
// with the QP placement of a tree of this many nodes.
inline constexpr int SlowDrawMilliseconds = 200;
inline constexpr int SlowQPNodes = 300;
// A number typed into a field applies once the typing pauses this long (or
// on Enter, or when the field is left).
inline constexpr int TypingPauseMilliseconds = 600;
inline constexpr const char* SStatusLoaded = "Loaded: %s";
inline constexpr const char* SStatusSavedLoaded = "%s (Loaded from: %s)";
inline constexpr const char* SZoomText = "%d%%";
inline constexpr const char* SFitTag = "Fit";
inline constexpr const char* SClassCaption = "Class: ";
inline constexpr const char* SIndividualClass = "individual";

// Ends a command without a message (the user's Cancel).
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// Open dialog filter indexes.
enum TOpenFilter { ofModel = 1, ofTreeDocument = 2, ofFormatsOnly = 3, ofTreeOnly = 4 };
// Save dialog filter indexes.
enum TSaveFilter { sfTreeDocument = 1, sfEmf = 2, sfBmp = 3, sfPng = 4, sfSvg = 5, sfPdf = 6 };

// The zoom box's items; the last three are the fit modes.
inline constexpr int ZoomFitWidth = 8;
inline constexpr int ZoomFitHeight = 9;
inline constexpr int ZoomFit = 10;

class TVarnTreeForm : public QMainWindow {
 public:
  // Dialogs nil: the toolkit's dialogs.
  explicit TVarnTreeForm(std::unique_ptr<TDialogs> ADialogs = nullptr, QWidget* AParent = nullptr);
  ~TVarnTreeForm() override;

  TVarnTreeDocument& Document() { return *FDocument; }
  TVarnTreeDrawer& TreeDrawer() { return FDocument->TreeDrawer(); }
  TNodeFormat* Formats() { return FDocument->Formats(); }
  int ZoomPercent() const { return FZoomPercent; }
  // How many drawings of the tree the window has made.
  int DrawingCount() const { return FDrawingCount; }
  bool HasPicture() const { return FDocument->HasPicture(); }
  int SaveFilterIndex() const { return FSaveFilterIndex; }
  int OpenFilterIndex() const { return FOpenFilterIndex; }

  // The file of the command line: ".vrn" in any letter case is a model,
  // anything else a whole tree document. Errors are reported.
  void OpenCommandLineFile(const std::string& FileName);
  // Opens FileName as the command line does once the window is on the
  // screen where the window manager put it, so that a message about the
  // file is centred on the window.
  void OpenWhenShown(const std::string& FileName);

  // Brings the picture and every control up to date; nothing while FUpdate
  // is clear.
  void UpdateForm(bool Modify, bool Redraw);
  // Sets the zoom from the zoom box; true when a fit item is in force.
  // EConvertError for a text that is no integer (the zoom stays).
  bool ApplyZoom();
  // The zoom box names a fit item: its text has "Fit" and one of the last
  // three items is selected.
  bool FitInForce() const;
  void PositionImage();
  // Asks to save unsaved changes; EAbort for Cancel and for a save that did
  // not happen.
  void CheckFileSave();

  // The commands; they raise their errors (the menu and buttons report them).
  void OpenClick();
  void SaveClick() { SaveFile(false); }
  void SaveAsClick() { SaveFile(true); }
  void CopyClick();
  void AboutClick();
  // True when something was written.
  bool SaveFile(bool Ask);
  bool SaveToFile(std::string FN, bool Ask);

  // Tree parameters between the controls and a drawer.
  void TreeDrawerToData(const TVarnTreeDrawer& ADrawer);
  void TreeDataToDrawer(TVarnTreeDrawer& ADrawer);
  void SetTreeDrawerParameters() { TreeDataToDrawer(TreeDrawer()); }
  void SetTreeFormParameters();

  // Change handlers.
  void VarnTreeClick() { UpdateForm(true, true); }
  void VarnToolClick() { UpdateForm(false, true); }
  void StretchChange(QSpinBox* Sender);
  void ColorButtonClick();
  void ZoomBoxClick();
  void ZoomBoxExit();
  // Zoom in (Direction 1) or out (-1) to the next percentage of the zoom
  // list, or by a quarter beyond it; 0 zooms to 100 %.
  void StepZoom(int Direction);

  // The node format editor. The selection in the node box: a class item,
  // a node item; the node picked, and the format to edit (the picked class,
  // or the picked node's format, individual ones included).
  bool IsClassSelected() const;
  bool IsNodeSelected() const;
  TVarnNode* EditedNode() const;
  TNodeFormat* EditedClass() const;
  TNodeFormat* NodeData() const { return FNodeData; }
  int ClassesCount() const { return FClassesCount; }
  // Refills both class lists and the controls, without handlers.
  void FillNodeBoxes();
  void SelectEditedClass();
  // Shows AFormat in the controls and makes it the edited format; run with
  // FUpdate clear.
  void TreeNodeToData(TNodeFormat* AFormat);
  // Applies the controls to AFormat through its push-down setters.
  void TreeDataToNode(TNodeFormat* AFormat);
  void VarnNodeClick();
  void NodesBoxChange();
  void ClassesBoxChange();
  // The dimension fields keep each minimum not above its maximum.
  void NodeDimEnter(QSpinBox* Sender);
  void NodeDimChange(QSpinBox* Sender);
  void NodeDimExit(QSpinBox* Sender);
  void ParentLineButtonClick();
  void ShapeButtonClick();
  // Tag: 3 x vertical + horizontal text alignment.
  void PosClick(int Tag);
  void FontButtonClick();
  void TextEditChange();

  // Runs a command: EAbort ends it silently, any other error is shown in
  // one message box and the window stays as the command left it.
  void RunCommand(const std::function<void()>& Command);

 protected:
  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void CreateActions();
  void CreateMenu();
  void CreateToolBar();
  void CreatePages();
  void CreateDialogs();
  void ConnectNodeHandlers();
  void UpdateNodeControls();
  // The slot of a dimension field in FDimTags; -1 for another control.
  int DimSlot(const QSpinBox* Field) const;
  QWidget* CreateDebugPage();
  void CreatePictureArea();
  void CreateStatusBar();
  void ConnectHandlers();
  void DrawTree();
  // Makes typing in the spin fields apply on Enter, on leaving the field or
  // when the typing pauses, not at every key.
  void DelaySpinFieldTyping();
  void UpdateControls();
  // After a tree or a tree document came in: the controls from the drawer,
  // without handlers, and a redraw.
  // After a new tree or new formats: the lists refilled and the window
  // updated; a new tree is shown with its root in view.
  void TreeLoaded(bool NewTree = true);
  // Scrolls the picture area so that the root is in view, in the middle
  // where the picture is larger than the area.
  void ScrollToRoot();
  // Runs Fill with FUpdate clear, setting it again also on errors.
  void WithoutUpdate(const std::function<void()>& Fill);
  void Connect(QAction* Action, void (TVarnTreeForm::*Command)());

  // Declared first, released last: the document's drawing borrows it.
  TQtMeasurer FMeasurer;
  std::unique_ptr<TVarnTreeDocument> FDocument;
  std::unique_ptr<TDialogs> FDialogs;
  bool FUpdate = false;
  int FZoomPercent = 100;
  int FOpenFilterIndex = ofModel;
  int FSaveFilterIndex = sfTreeDocument;
  // The name and format of the last picture saved: Save without a dialog
  // writes a save name of no offered extension in the format it was last
  // written in, and any other save name (from a tree document) as a tree
  // document, so a tree document is never overwritten by a picture.
  std::string FPictureSaveName;
  TPictureFormat FPictureSaveFormat = TPictureFormat::Emf;
  // The zoom text last applied, so that leaving the box unchanged does not
  // draw again.
  QString FAppliedZoomText;
  // The file OpenWhenShown opens at the window's first exposure.
  std::string FFileWhenShown;
  // How long the last drawing took, in milliseconds.
  qint64 FLastDrawMilliseconds = 0;
  int FDrawingCount = 0;
  // Commits the field being typed in when the typing pauses.
  QTimer* FTypingPause = nullptr;
  QPointer<QAbstractSpinBox> FTypedField;
  // The node editor: the format shown, the number of class items at the
  // head of the node box, and what each dimension field remembers of its
  // partner while it has the focus (min width, max width, min height, max
  // height).
  TNodeFormat* FNodeData = nullptr;
  int FClassesCount = 0;
  std::array<int, 4> FDimTags{0, 99, 0, 99};
  // The node text box's font as a font value (the box shows it).
  TFont FTextEditFont = TNodeFormat::StartupFont();

  QAction* OpenItem = nullptr;
  QAction* SaveItem = nullptr;
  QAction* SaveAsItem = nullptr;
  QAction* ExitItem = nullptr;
  QAction* CopyItem = nullptr;
  QAction* AboutItem = nullptr;
  // Shortcuts of the window without menu items: zoom in, out and to 100 %.
  QAction* ZoomInAction = nullptr;
  QAction* ZoomOutAction = nullptr;
  QAction* ZoomResetAction = nullptr;
  QAction* OpenButton = nullptr;
  QAction* SaveButton = nullptr;
  QAction* CopyButton = nullptr;
  QAction* ZoomBoxAction = nullptr;
  QAction* OrientationBoxAction = nullptr;
  QAction* MethodBoxAction = nullptr;
  QComboBox* ZoomBox = nullptr;
  QComboBox* OrientationBox = nullptr;
  QComboBox* MethodBox = nullptr;
  QTabWidget* MainPageControl = nullptr;
  TTreePanel* TreePage = nullptr;
  TNodePanel* NodePage = nullptr;
  QWidget* DebugPage = nullptr;
  QScrollArea* ScrollBox = nullptr;
  QWidget* ImageHost = nullptr;
  TPictureView* DrawImage = nullptr;
  QLabel* StatusPanels[4] = {};
  // Created once, shown for every use.
  TEditParentLine* EditParentLine = nullptr;
  TEditShape* EditShape = nullptr;
  std::unique_ptr<TAboutBox> AboutBox;
};

}  // namespace vt

namespace vt {

inline constexpr const char* SNoDisplay =
    "varntree: cannot open the window without a display; use --export OUT to write pictures (see --help).\n";

// The application with its window; FileName, when given, is opened once the
// window shows. Returns the exit code of the event loop.
int RunVarnTreeWindow(int argc, char** argv, const std::string& FileName);

}  // namespace vt
