// The .emf writer: turns a recorded metafile into an enhanced metafile in the
// public EMF record format, written so that independent readers show the same
// picture (MM_TEXT at 96 dpi, explicit objects and modes, rounded rectangles
// as paths, text clipping by a clip bracket).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"

namespace vt {

// EMF record types the writer uses.
namespace emr {
inline constexpr std::uint32_t Header = 1;
inline constexpr std::uint32_t PolyBezierTo = 5;
inline constexpr std::uint32_t Eof = 14;
inline constexpr std::uint32_t SetMapMode = 17;
inline constexpr std::uint32_t SetBkMode = 18;
inline constexpr std::uint32_t SetTextAlign = 22;
inline constexpr std::uint32_t SetTextColor = 24;
inline constexpr std::uint32_t MoveToEx = 27;
inline constexpr std::uint32_t IntersectClipRect = 30;
inline constexpr std::uint32_t SaveDC = 33;
inline constexpr std::uint32_t RestoreDC = 34;
inline constexpr std::uint32_t SelectObject = 37;
inline constexpr std::uint32_t CreatePen = 38;
inline constexpr std::uint32_t CreateBrushIndirect = 39;
inline constexpr std::uint32_t DeleteObject = 40;
inline constexpr std::uint32_t Ellipse = 42;
inline constexpr std::uint32_t Rectangle = 43;
inline constexpr std::uint32_t LineTo = 54;
inline constexpr std::uint32_t BeginPath = 59;
inline constexpr std::uint32_t EndPath = 60;
inline constexpr std::uint32_t CloseFigure = 61;
inline constexpr std::uint32_t FillPath = 62;
inline constexpr std::uint32_t StrokeAndFillPath = 63;
inline constexpr std::uint32_t StrokePath = 64;
inline constexpr std::uint32_t ExtCreateFontIndirectW = 82;
inline constexpr std::uint32_t ExtTextOutW = 84;
inline constexpr std::uint32_t PolyBezierTo16 = 88;
inline constexpr std::uint32_t ExtCreatePen = 95;
}  // namespace emr

// Stock objects selected instead of created ones.
inline constexpr std::uint32_t StockWhiteBrush = 0x80000000;
inline constexpr std::uint32_t StockNullBrush = 0x80000005;
inline constexpr std::uint32_t StockBlackPen = 0x80000007;
inline constexpr std::uint32_t StockNullPen = 0x80000008;
inline constexpr std::uint32_t StockDeviceDefaultFont = 0x8000000E;

// The reference device: a 96-dpi screen.
inline constexpr int EmfDevicePixelsX = 1920;
inline constexpr int EmfDevicePixelsY = 1440;
inline constexpr int EmfDeviceMillimetersX = 508;
inline constexpr int EmfDeviceMillimetersY = 381;

// Most created objects kept alive at once; beyond it the least recently used
// one that is not selected is deleted and its handle reused.
inline constexpr int EmfMaxLiveObjects = 256;

// The whole .emf file of Metafile. Text advances come from Measurer, which
// must be the one the picture was measured with. A picture narrower or lower
// than one pixel is written as one pixel wide or high (readers fail on an
// empty frame).
std::vector<std::uint8_t> EmfBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer);

// Writes EmfBytes to FileName, replacing it only when complete
// (EFileWriteError on failure).
void SaveEmf(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName);

}  // namespace vt
