// One application object for the whole test program, on the platform the
// test runs with (offscreen, or xcb under tools/with-xserver).
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

class TQtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "vt_qt_tests";
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
