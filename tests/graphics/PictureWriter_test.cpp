#include "graphics/PictureWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "foundation/Utils.h"

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

TEST(TPictureWriter, WritesEmfAndSvgOnlyAndSaysSo) {
  const TPictureWriter W;
  const TMetafile M(10, 10);
  const TFakeMeasurer Measurer;
  struct Case {
    TPictureFormat Format;
    const char* Name;
    std::size_t MagicAt;
    std::string Magic;
  };
  const Case Written[] = {{TPictureFormat::Emf, "vt_picture_writer.emf", 40, " EMF"},
                          {TPictureFormat::Svg, "vt_picture_writer.svg", 0, "<?xml"}};
  for (const Case& C : Written) {
    EXPECT_TRUE(W.Supports(C.Format)) << C.Name;
    const std::filesystem::path Path = std::filesystem::temp_directory_path() / C.Name;
    W.Save(M, Measurer, Path.string(), C.Format);
    std::ifstream In(Path, std::ios::binary);
    const std::string Bytes((std::istreambuf_iterator<char>(In)), {});
    EXPECT_EQ(Bytes.substr(C.MagicAt, C.Magic.size()), C.Magic) << C.Name;
    std::filesystem::remove(Path);
  }

  for (const TPictureFormat F : {TPictureFormat::Png, TPictureFormat::Bmp, TPictureFormat::Pdf}) {
    EXPECT_FALSE(W.Supports(F));
    const std::string Name =
        (std::filesystem::temp_directory_path() / ("vt_picture_writer." + LowerCase(PictureFormatName(F))))
            .string();
    try {
      W.Save(M, Measurer, Name, F);
      ADD_FAILURE() << "no error";
    } catch (const EGraphicsError& E) {
      EXPECT_EQ(E.Message(), "Pictures cannot be saved as " + PictureFormatName(F) + " here");
    }
    EXPECT_FALSE(std::filesystem::exists(Name));
  }
}

}  // namespace
}  // namespace vt
