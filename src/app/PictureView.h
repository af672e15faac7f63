// The picture area's image: paints the recorded metafile at the zoom, only
// the records that reach into the part being painted, so a large picture
// redraws fast and needs no bitmap of its own.
#pragma once

#include <QWidget>

#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"

namespace vt {

class TPictureView : public QWidget {
 public:
  TPictureView(const TTextMeasurer& AMeasurer, QWidget* AParent = nullptr);

  // The picture shown; borrowed, nil for none. The widget keeps its size
  // until SetZoomedSize.
  const TMetafile* Picture() const { return FPicture; }
  void SetPicture(const TMetafile* Value);
  // The size of the picture at ZoomPercent, each side rounded halves to even.
  static QSize ZoomedSize(const TMetafile& Picture, int ZoomPercent);
  // Paints the picture stretched to the widget's size.
  void paintEvent(QPaintEvent* Event) override;

 private:
  const TTextMeasurer& FMeasurer;
  const TMetafile* FPicture = nullptr;
};

// Plays the records of Picture that may touch Visible (in picture pixels) on
// Canvas; the others only move the pen, so every line still starts where it
// should.
void PlayVisible(const TMetafile& Picture, TCanvas& Canvas, const TRect& Visible);

}  // namespace vt
