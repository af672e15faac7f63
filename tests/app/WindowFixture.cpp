#include "WindowFixture.h"

namespace vt {
namespace {

class TQtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "window_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) FApplication = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { FApplication.reset(); }

 private:
  std::unique_ptr<QApplication> FApplication;
};
[[maybe_unused]] testing::Environment* const QtEnvironment =
    testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace
}  // namespace vt
