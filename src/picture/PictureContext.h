// What the picture classes share: their exception, their messages, and the
// context through which picture nodes reach the format classes and the text
// measurer of their owner (the document), never a global window.
#pragma once

#include <string_view>

#include "foundation/Base.h"

namespace vt {

class TFormatClasses;
class TTextMeasurer;

// Messages of the picture classes.
inline constexpr std::string_view SInvalidCast = "Invalid class typecast";
inline constexpr std::string_view SFormatCircularParent =
    "Cannot register format \"%s\" below itself or below one of its own descendants";
inline constexpr std::string_view SNodeNoFormats =
    "Picture node \"%s\" has no format classes to take class \"%s\" from";
inline constexpr std::string_view SNodeNoFormat = "Picture node \"%s\" has no node format";
inline constexpr std::string_view SNodeNoMeasurer =
    "Picture node \"%s\" cannot be measured without a text measurer";

class EPictureError : public Exception {
 public:
  using Exception::Exception;
};

// A checked conversion to a picture class met an object of another class.
class EInvalidCast : public EPictureError {
 public:
  EInvalidCast() : EPictureError(std::string(SInvalidCast)) {}
};

// Held by the picture drawer; its nodes find it through their drawer. Both
// pointers are borrowed: the owner of the drawer keeps the format classes
// and the measurer alive for as long as the drawer uses them.
struct TPictureContext {
  TFormatClasses* FormatClasses = nullptr;
  const TTextMeasurer* Measurer = nullptr;
};

}  // namespace vt
