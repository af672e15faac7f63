#include "app/FAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>
#include <utility>

#include "foundation/Base.h"

namespace vt {

namespace {

constexpr const char* SVersionCaption = "Version";
constexpr const char* SDescription = "Draws the attribute trees of decision models.";
constexpr const char* SNotice =
    "VarnTree reads hierarchical multi-criteria decision models and draws their attribute trees as "
    "pictures, with node formats and layouts of your choice.\n\n"
    "This program is provided as it is, without warranty of any kind.";

// The application's picture: a small tree of three levels.
QPixmap TreePicture() {
  QPixmap pixmap(48, 48);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF root(24, 8), left(11, 24), right(37, 24), leaf1(5, 40), leaf2(17, 40), leaf3(37, 40);
  p.setPen(QPen(QColor(0, 100, 0), 1.5));
  const std::pair<QPointF, QPointF> edges[] = {
      {root, left}, {root, right}, {left, leaf1}, {left, leaf2}, {right, leaf3}};
  for (const auto& [from, to] : edges) p.drawLine(from, to);
  p.setBrush(QColor(255, 255, 210));
  p.setPen(QPen(QColor(0, 100, 0), 1));
  for (const QPointF& centre : {root, left, right})
    p.drawRoundedRect(QRectF(centre.x() - 6, centre.y() - 4, 12, 8), 2, 2);
  p.setBrush(QColor(200, 240, 200));
  for (const QPointF& centre : {leaf1, leaf2, leaf3}) p.drawEllipse(centre, 4, 4);
  return pixmap;
}

QLabel* NewLabel(const char* Name, const QString& Caption, QWidget* Parent) {
  auto* label = new QLabel(Caption, Parent);
  label->setObjectName(QString::fromUtf8(Name));
  return label;
}

void MakeGreen(QLabel* Label) {
  QPalette palette = Label->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 128, 0));
  Label->setPalette(palette);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* AParent) : QDialog(AParent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About VarnTree"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  Button1 = new QPushButton(QStringLiteral("&OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreatePanel());
  layout->addWidget(Button1, 0, Qt::AlignHCenter);
  // A fixed dialog frame: the size the controls need, not resizable.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowVersion();
}

QWidget* TAboutBox::CreatePanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, Qt::white);
  panel->setPalette(palette);

  ProgramIcon = NewLabel("ProgramIcon", QString(), panel);
  ProgramIcon->setPixmap(TreePicture());
  ProgramIcon->setAlignment(Qt::AlignTop);
  ProductName = NewLabel("ProductName", QStringLiteral("VarnTree"), panel);
  QFont font = ProductName->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.5);
  ProductName->setFont(font);
  MakeGreen(ProductName);
  Version = NewLabel("Version", QString::fromUtf8(SVersionCaption), panel);
  Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  MakeGreen(Version);
  Comments = NewLabel("Comments", QString::fromUtf8(SDescription), panel);
  Copyright = new QTextEdit(panel);
  Copyright->setPlainText(QString::fromUtf8(SNotice));
  Copyright->setObjectName(QStringLiteral("Copyright"));
  Copyright->setReadOnly(true);
  Copyright->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Copyright->setMinimumSize(340, 110);
  Copyright->setMaximumHeight(110);

  auto* grid = new QGridLayout(panel);
  grid->addWidget(ProgramIcon, 0, 0, 2, 1);
  grid->addWidget(ProductName, 0, 1);
  grid->addWidget(Version, 1, 1);
  grid->addWidget(Comments, 2, 0, 1, 2);
  grid->addWidget(Copyright, 3, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  return panel;
}

void TAboutBox::SetMajorVersion(int Value) {
  FMajorVersion = Value;
  ShowVersion();
}

void TAboutBox::SetMinorVersion(int Value) {
  FMinorVersion = Value;
  ShowVersion();
}

std::string TAboutBox::VersionString() const {
  return Fmt("%d.%.2d", FMajorVersion, FMinorVersion);
}

void TAboutBox::ShowVersion() {
  Version->setText(QString::fromUtf8(SVersionCaption) + u' ' + QString::fromStdString(VersionString()));
}

void TAboutBox::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace vt
