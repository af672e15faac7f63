// Shared roots of the whole project: the object base that lists own, the
// exception base every unit's error class derives from, message formatting
// with the printf-style placeholders of the system's messages, and the one
// rounding helper.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vt {

// Base of every object kept in a TObjList or attached to a string list entry.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
};

// The run-time class name of an object without its namespace ("TObjList",
// "TXmlItemList"), for messages that name the class.
std::string RunTimeClassName(const TObject& Obj);

// Base of every unit's exception class; carries the formatted message.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }

 private:
  std::string FMessage;
};

// One argument of Format: an integer, a floating-point value or a string.
using FormatArg = std::variant<long long, double, std::string>;

// Formats Fmt with printf-style placeholders (%s, %d, %g, %f, %x with flags,
// width and precision, and %%) taking the arguments in order. Numbers always
// use "." as the decimal separator. A missing argument or a placeholder of
// the wrong kind is written as it stands instead of failing.
std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args);

inline FormatArg Arg(int v) {
  return static_cast<long long>(v);
}
inline FormatArg Arg(long v) {
  return static_cast<long long>(v);
}
inline FormatArg Arg(long long v) {
  return v;
}
inline FormatArg Arg(unsigned v) {
  return static_cast<long long>(v);
}
inline FormatArg Arg(double v) {
  return v;
}
inline FormatArg Arg(std::string_view v) {
  return std::string(v);
}
inline FormatArg Arg(const char* v) {
  return std::string(v);
}
inline FormatArg Arg(const std::string& v) {
  return v;
}

// Format with the arguments converted by Arg: Fmt("%s at %d", name, line).
template <typename... Args>
std::string Fmt(std::string_view fmt, const Args&... args) {
  return Format(fmt, {Arg(args)...});
}

// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2,
// 3.5 gives 4, -2.5 gives -2). Values beyond the 32-bit range saturate.
int RoundHalfEven(double v);
// The same for 64-bit results.
long long RoundHalfEven64(double v);

}  // namespace vt
