#include "graphics/qt/QtOutputs.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <span>

#include "graphics/FileWriter.h"
#include "graphics/qt/QPainterCanvas.h"
#include "graphics/qt/QtApplication.h"

namespace vt {

namespace {

void WriteBytes(const std::string& FileName, const QByteArray& Bytes) {
  WriteFileReplacing(FileName,
                     std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(Bytes.constData()),
                                                   static_cast<std::size_t>(Bytes.size())));
}

// The picture's size for vector outputs; an empty picture is one pixel.
QSize PictureSize(const TMetafile& Metafile) {
  return QSize(std::max(Metafile.Width(), 1), std::max(Metafile.Height(), 1));
}

void PlayOn(QPainter& Painter, const char* Format, const TMetafile& Metafile, const TTextMeasurer& Measurer,
            double ScaleX = 1.0, double ScaleY = 1.0) {
  if (!Painter.isActive()) throw EGraphicsError(Fmt(SPaintError, Format));
  TQPainterCanvas Canvas(Painter, Measurer, ScaleX, ScaleY);
  Play(Metafile, Canvas);
}

void SaveImage(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
               int ScalePercent, const char* Format) {
  const QImage Image = RenderImage(Metafile, Measurer, ScalePercent);
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  if (!Image.save(&Buffer, Format)) throw EGraphicsError(Fmt(SImageEncodeError, Format));
  WriteBytes(FileName, Bytes);
}

// Points as a short exact decimal: pixels at 96 dpi are multiples of 0.75
// point, so two decimals always suffice.
QByteArray PointText(double Points) {
  QByteArray Text = QByteArray::number(Points, 'f', 2);
  while (Text.endsWith('0')) Text.chop(1);
  if (Text.endsWith('.')) Text.chop(1);
  return Text;
}

// Qt's PDF writer makes pages of whole points, so a picture of W x H pixels
// (W x H * 0.75 points) gets a page up to half a point larger or smaller.
// The page's box is rewritten in place to the exact size, padded with blanks
// so that no offset in the file moves. Qt draws from the top of its rounded
// page: the box keeps that top edge and the left edge.
void SetExactPageBox(QByteArray& Pdf, QSize Pixels) {
  static const QByteArray Key = "/MediaBox [";
  const qsizetype Start = Pdf.indexOf(Key);
  if (Start < 0) return;
  const qsizetype Open = Start + Key.size();
  const qsizetype Close = Pdf.indexOf(']', Open);
  if (Close < 0) return;
  const QList<QByteArray> Values = Pdf.mid(Open, Close - Open).simplified().split(' ');
  if (Values.size() != 4) return;
  const double Top = Values[3].toDouble();
  const double W = Pixels.width() * 72.0 / ScreenPixelsPerInch, H = Pixels.height() * 72.0 / ScreenPixelsPerInch;
  QByteArray Box = "0 " + PointText(Top - H) + " " + PointText(W) + " " + PointText(Top);
  if (Box.size() > Close - Open) return;
  Box.append(QByteArray(Close - Open - Box.size(), ' '));
  Pdf.replace(Open, Close - Open, Box);
}

}  // namespace

QSize ScaledImageSize(const TMetafile& Metafile, int ScalePercent) {
  if (ScalePercent < 1) throw EGraphicsError(Fmt(SInvalidScale, ScalePercent));
  const auto Side = [&](int Pixels) {
    return std::max(1, RoundHalfEven(double(std::max(Pixels, 0)) * ScalePercent / 100.0));
  };
  return QSize(Side(Metafile.Width()), Side(Metafile.Height()));
}

QImage RenderImage(const TMetafile& Metafile, const TTextMeasurer& Measurer, int ScalePercent) {
  EnsureGuiApplication();
  const QSize Size = ScaledImageSize(Metafile, ScalePercent);
  if ((long long)Size.width() * Size.height() > MaxImagePixels)
    throw EGraphicsError(Fmt(SImageTooLarge, Size.width(), Size.height()));
  QImage Image(Size, QImage::Format_RGB32);
  if (Image.isNull()) throw EGraphicsError(Fmt(SImageTooLarge, Size.width(), Size.height()));
  Image.fill(Qt::white);
  QPainter Painter(&Image);
  const QSize Picture = PictureSize(Metafile);
  PlayOn(Painter, "bitmap", Metafile, Measurer, double(Size.width()) / Picture.width(),
         double(Size.height()) / Picture.height());
  Painter.end();
  return Image;
}

void SavePng(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
             int ScalePercent) {
  SaveImage(Metafile, Measurer, FileName, ScalePercent, "PNG");
}

void SaveBmp(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
             int ScalePercent) {
  SaveImage(Metafile, Measurer, FileName, ScalePercent, "BMP");
}

QByteArray SvgBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer) {
  const std::string Text = SvgDocument(Metafile, Measurer);
  return QByteArray(Text.data(), static_cast<qsizetype>(Text.size()));
}

QByteArray PdfBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer) {
  EnsureGuiApplication();
  const QSize Size = PictureSize(Metafile);
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter Pdf(&Buffer);
    Pdf.setResolution(ScreenPixelsPerInch);
    Pdf.setCreator(QString::fromStdString(Metafile.AppName()));
    Pdf.setTitle(QString::fromStdString(Metafile.PictureName()));
    // One page exactly the picture's size: pixels at 96 dpi are 3/4 point.
    const QPageSize Page(
        QSizeF(Size.width() * 72.0 / ScreenPixelsPerInch, Size.height() * 72.0 / ScreenPixelsPerInch),
        QPageSize::Point, QString(), QPageSize::ExactMatch);
    Pdf.setPageLayout(QPageLayout(Page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter Painter(&Pdf);
    PlayOn(Painter, "PDF", Metafile, Measurer);
    Painter.end();
  }
  SetExactPageBox(Bytes, Size);
  return Bytes;
}

void SavePdf(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName) {
  WriteBytes(FileName, PdfBytes(Metafile, Measurer));
}

bool TQtPictureWriter::Supports(TPictureFormat) const {
  return true;
}

void TQtPictureWriter::Save(const TMetafile& Metafile, const TTextMeasurer& Measurer,
                            const std::string& FileName, TPictureFormat Format, int ScalePercent) const {
  switch (Format) {
    case TPictureFormat::Emf:
    case TPictureFormat::Svg:
      return TPictureWriter::Save(Metafile, Measurer, FileName, Format, ScalePercent);
    case TPictureFormat::Bmp:
      return SaveBmp(Metafile, Measurer, FileName, ScalePercent);
    case TPictureFormat::Png:
      return SavePng(Metafile, Measurer, FileName, ScalePercent);
    case TPictureFormat::Pdf:
      return SavePdf(Metafile, Measurer, FileName);
  }
}

}  // namespace vt
