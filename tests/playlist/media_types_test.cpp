// The one list of music file types against what names them elsewhere: the
// desktop entry's MIME types.

#include "playlist/media_types.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(MediaTypes, TheDesktopEntryNamesEverySupportedMimeType) {
    std::ifstream file(std::string(TUNELARK_SOURCE_DIR) + "/desktop/tunelark.desktop");
    ASSERT_TRUE(file.good());
    std::string line;
    std::string mimeTypes;
    while (std::getline(file, line)) {
        if (line.starts_with("MimeType=")) mimeTypes = ";" + line.substr(9);
    }
    ASSERT_FALSE(mimeTypes.empty());
    for (const char* type : SupportedMimeTypes()) {
        EXPECT_NE(mimeTypes.find(";" + std::string(type) + ";"), std::string::npos) << type;
    }
}

}  // namespace
