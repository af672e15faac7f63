#include "picture/NodeFormats.h"

namespace vt {

TFormatClasses::TFormatClasses() {
  SetDefaultFormats();
}

TFormatClasses::~TFormatClasses() = default;

void TFormatClasses::SetDefaultFormats() {
  FFormats.reset();
  auto all = std::make_unique<TNodeFormat>(AllClass, nullptr, FDefaultFont);
  for (const char* name : {"basic", "aggregate", "link"}) new TNodeFormat(name, all.get());
  FFormats = std::move(all);
}

void TFormatClasses::SetFormats(std::unique_ptr<TNodeFormat> ARoot) {
  if (ARoot.get() == FFormats.get()) {
    (void)ARoot.release();
    return;
  }
  FFormats = std::move(ARoot);
}

TNodeFormat* TFormatClasses::FindFormat(const std::string& AClass) const {
  return FFormats ? FFormats->Find(AClass) : nullptr;
}

TNodeFormat* TFormatClasses::GetClassFormat(const std::string& AClass) const {
  TNodeFormat* format = FindFormat(AClass);
  return format ? format : FFormats.get();
}

TNodeFormat* TFormatClasses::CreateFormat(const std::string& AClass, TNodeFormat* AParent) const {
  return new TNodeFormat(AClass, AParent, FDefaultFont);
}

}  // namespace vt
