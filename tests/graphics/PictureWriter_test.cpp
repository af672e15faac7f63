#include "graphics/PictureWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vt {
namespace {

TEST(PictureFormatOfFileName, ByExtensionInAnyCase) {
  struct Case {
    const char* Name;
    std::optional<TPictureFormat> Format;
  };
  const Case Cases[] = {
      {"tree.emf", TPictureFormat::Emf},
      {"TREE.EMF", TPictureFormat::Emf},
      {"a/b.c/tree.Bmp", TPictureFormat::Bmp},
      {"tree.png", TPictureFormat::Png},
      {"tree.svg", TPictureFormat::Svg},
      {"tree.x.pdf", TPictureFormat::Pdf},
      {"tree.vrt", std::nullopt},
      {"tree", std::nullopt},
      {"dir.png/tree", std::nullopt},
      {"tree.", std::nullopt},
      {"tree.emfx", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& C : Cases) EXPECT_EQ(PictureFormatOfFileName(C.Name), C.Format) << C.Name;
}

TEST(TPictureWriter, WritesEmfOnlyAndSaysSo) {
  const TPictureWriter W;
  EXPECT_TRUE(W.Supports(TPictureFormat::Emf));
  EXPECT_FALSE(W.Supports(TPictureFormat::Png));
  const TMetafile M(10, 10);
  const TFakeMeasurer Measurer;
  const std::filesystem::path Path = std::filesystem::temp_directory_path() / "vt_picture_writer.emf";
  W.Save(M, Measurer, Path.string(), TPictureFormat::Emf);
  EXPECT_GT(std::filesystem::file_size(Path), 108u);
  std::filesystem::remove(Path);

  const std::string Png = (std::filesystem::temp_directory_path() / "vt_picture_writer.png").string();
  try {
    W.Save(M, Measurer, Png, TPictureFormat::Png);
    ADD_FAILURE() << "no error";
  } catch (const EGraphicsError& E) {
    EXPECT_EQ(E.Message(), "Pictures cannot be saved as PNG here");
  }
  EXPECT_FALSE(std::filesystem::exists(Png));
}

}  // namespace
}  // namespace vt
