// Model files written on the fly for the reader tests.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "model/VarnMod.h"

namespace vt::test {

// Writes Text to a file in the temporary folder and returns its name. The
// name carries the process and the test, since test processes run side by
// side and share the folder.
inline std::string WriteTempFile(const std::string& Name, const std::string& Text) {
  const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string Path = ::testing::TempDir() + "vt_model_" + std::to_string(getpid()) + "_" +
                     (Info ? std::string(Info->test_suite_name()) + "_" + Info->name() + "_" : "") + Name;
  std::ofstream Out(Path, std::ios::binary);
  Out << Text;
  return Path;
}

// A model file: the UTF-8 header and a "Varn" root around Body.
inline std::string VarnFile(const std::string& Body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Varn>\r\n" + Body + "\r\n</Varn>\r\n";
}

// A scale element with these value names (ascending, no groups).
inline std::string ScaleXml(std::initializer_list<const char*> Values) {
  std::string S = "<SCALE>";
  for (const char* V : Values) S += std::string("<SCALEVALUE><NAME>") + V + "</NAME></SCALEVALUE>";
  return S + "</SCALE>";
}

inline void LoadBody(TVarnModel& Model, const std::string& Body) {
  Model.LoadFromFile(WriteTempFile("model.vrn", VarnFile(Body)));
}

}  // namespace vt::test
