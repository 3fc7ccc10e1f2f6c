#include "framework/OptionHelp.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

TEST(OptionHelpTest, LabelsShareOneColumnAndLongOnesStandAlone) {
  const std::string help = FormatOptionHelp({
      {"  -o, --output FILE", "the file to write", {}},
      {"      --sort date|name", "the order\nof the photos", "date"},
      {"      --layout NAME|FILE.json", "a built-in layout", {}},
      {"      --json", "", "yes"},
      {"  -h, --help", "", {}},
  });
  EXPECT_EQ(help,
            "  -o, --output FILE      the file to write\n"
            "      --sort date|name   the order\n"
            "                         of the photos (default date)\n"
            "      --layout NAME|FILE.json\n"
            "                         a built-in layout\n"
            "      --json             (default yes)\n"
            "  -h, --help\n");
}

}  // namespace
}  // namespace nimbra
