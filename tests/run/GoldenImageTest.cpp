// The sample overlay, made as gridloom-make makes it, compared by a hash of what a viewer
// shows: the palette and every pixel of the saved BMP (the file's headers are left out).
// Any change in any drawing rule, however small, changes the hash; a refactoring must not.
//
// Renewing a hash after a drawing rule was changed on purpose: run this test, check the new
// image by eye (the failure message names the file it kept, and the figures to copy), and
// replace the constant below with the hash the failure message prints. Say in the commit
// why the pixels changed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "RunFakes.h"
#include "render/TextRenderer.h"
#include "tools/make/MakeCommand.h"

namespace gridloom {
namespace {

using test::ReadFile;

// FNV-1a, 64 bits: simple, and plenty to tell two images apart.
uint64_t Fnv1a(const std::string& bytes, std::size_t from) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        hash ^= uint8_t(bytes[i]);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// The palette and the pixel rows: everything after the file and information headers.
constexpr std::size_t HeadersSize = 14 + 40;

class GoldenImage : public ::testing::Test {
protected:
    // Makes the sample overlay with the given extra options; checks the hash of its pixels.
    // A differing image is kept under name in the temporary folder for looking at.
    void ExpectSample(const std::vector<std::string>& options, uint64_t expected, const std::string& name) {
        const std::string out = Folder / "Overlay.bmp";
        std::vector<std::string> args{"--data", std::string(GRIDLOOM_SOURCE_DIR) + "/sample/Countries.dat", "--out",
                                      out, "--quiet"};
        args.insert(args.end(), options.begin(), options.end());
        std::FILE* err = std::tmpfile();
        ASSERT_EQ(MakeMain(args, stdout, err, false, Services), 0);
        std::fclose(err);
        const std::string bytes = ReadFile(out);
        ASSERT_EQ(bytes.size(), HeadersSize + 256 * 4 + std::size_t(7920) * 3960);
        const uint64_t hash = Fnv1a(bytes, HeadersSize);
        if (hash == expected) return;
        const std::string kept = (std::filesystem::temp_directory_path() / name).string();
        test::WriteFile(kept, bytes);
        ADD_FAILURE() << "the image differs: hash 0x" << std::hex << hash << ", expected 0x" << expected
                      << "; the new image is " << kept;
    }

    test::TTempFolder Folder;
    test::TFakeServices Services;
};

TEST_F(GoldenImage, SampleAtDefaults) { ExpectSample({}, 0x3aaebee1183392eeull, "gridloom-golden-defaults.bmp"); }

TEST_F(GoldenImage, SampleWithLabels) {
    TFont font;
    font.Name = "Arial";
    font.Size = 11;
    font.Style = fsBold;
    if (TTextRenderer::Shared()->FaceFile(font).find("LiberationSans-Bold.") == std::string::npos)
        GTEST_SKIP() << "the labels' hash is that of Liberation Sans Bold, which stands in for Arial";
    ExpectSample({"--labels"}, 0x7daac4d86092594eull, "gridloom-golden-labels.bmp");
}

}  // namespace
}  // namespace gridloom
