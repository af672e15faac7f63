// Model files written on the fly for the reader tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "model/VarnMod.h"

namespace vt::test {

// Writes Text to a file in the test's temporary folder and returns its name.
inline std::string WriteTempFile(const std::string& Name, const std::string& Text) {
  std::string Path = ::testing::TempDir() + Name;
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
