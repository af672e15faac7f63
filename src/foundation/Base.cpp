#include "foundation/Base.h"

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <typeinfo>
#include <vector>

namespace vt {

namespace {

// snprintf with "." as the decimal separator whatever the C locale says.
std::string FormatNumber(const std::string& directive, const FormatArg& arg) {
  char buf[512];
  int n = 0;
  const char conv = directive.back();
  if (conv == 'd' || conv == 'i' || conv == 'x' || conv == 'X' || conv == 'u') {
    long long v = std::holds_alternative<long long>(arg) ? std::get<long long>(arg)
                                                         : static_cast<long long>(std::get<double>(arg));
    std::string s = directive.substr(0, directive.size() - 1) + "ll" + conv;
    n = std::snprintf(buf, sizeof buf, s.c_str(), v);
  } else {
    double v = std::holds_alternative<double>(arg) ? std::get<double>(arg)
                                                   : static_cast<double>(std::get<long long>(arg));
    n = std::snprintf(buf, sizeof buf, directive.c_str(), v);
    // The C locale may have been changed by the process: put "." back.
    const char* dp = std::localeconv()->decimal_point;
    if (dp && dp[0] && !(dp[0] == '.' && dp[1] == 0)) {
      std::string out(buf, n > 0 ? static_cast<size_t>(std::min<int>(n, sizeof buf - 1)) : 0);
      std::string sep(dp);
      for (size_t p = out.find(sep); p != std::string::npos; p = out.find(sep, p + 1))
        out.replace(p, sep.size(), ".");
      return out;
    }
  }
  if (n < 0) return directive;
  return std::string(buf, static_cast<size_t>(std::min<int>(n, sizeof buf - 1)));
}

}  // namespace

std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(fmt.size() + 16);
  auto next = args.begin();
  size_t i = 0;
  while (i < fmt.size()) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    size_t j = i + 1;
    while (j < fmt.size() && std::string_view("-+ #0123456789.").find(fmt[j]) != std::string_view::npos) ++j;
    if (j >= fmt.size()) {
      out.append(fmt.substr(i));
      break;
    }
    std::string directive(fmt.substr(i, j - i + 1));
    char conv = fmt[j];
    i = j + 1;
    if (next == args.end() || std::string_view("sdiuxXgGfeE").find(conv) == std::string_view::npos) {
      out += directive;
      continue;
    }
    const FormatArg& arg = *next++;
    if (conv == 's') {
      std::string text;
      if (std::holds_alternative<std::string>(arg))
        text = std::get<std::string>(arg);
      else if (std::holds_alternative<long long>(arg))
        text = std::to_string(std::get<long long>(arg));
      else
        text = FormatNumber("%g", arg);
      // Width and "-" flag of %s.
      bool left = directive.find('-') != std::string::npos;
      size_t width = 0;
      for (char d : directive)
        if (d >= '0' && d <= '9')
          width = width * 10 + static_cast<size_t>(d - '0');
        else if (d == '.')
          break;
      if (text.size() < width) {
        std::string pad(width - text.size(), ' ');
        text = left ? text + pad : pad + text;
      }
      out += text;
    } else if (std::holds_alternative<std::string>(arg)) {
      out += std::get<std::string>(arg);
    } else {
      out += FormatNumber(directive, arg);
    }
  }
  return out;
}

long long RoundHalfEven64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<long long>::max();
  if (v <= -9.2e18) return std::numeric_limits<long long>::min();
  // The default floating-point rounding mode is to nearest, ties to even.
  double r = std::nearbyint(v);
  return static_cast<long long>(r);
}

std::string RunTimeClassName(const TObject& Obj) {
  const char* mangled = typeid(Obj).name();
#if defined(__GNUG__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                   std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
#else
  std::string name = mangled;  // "class vt::TObjList"
  if (size_t blank = name.rfind(' ', name.find('<')); blank != std::string::npos) name.erase(0, blank + 1);
#endif
  // Keep the last component of a qualified name ("vt::TObjList"), looking
  // only at the part before any template arguments.
  size_t end = name.find('<');
  size_t colon = name.rfind("::", end == std::string::npos ? std::string::npos : end);
  if (colon != std::string::npos) name.erase(0, colon + 2);
  return name;
}

int RoundHalfEven(double v) {
  long long r = RoundHalfEven64(v);
  if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

}  // namespace vt
