#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "standin/plist/plist_reader.h"
#include "tests/standin/plist_test_support.h"

namespace vorla::plist {
namespace {

using testing::Bytes;
using testing::fixturePath;
using testing::readFixture;

class PlistFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plist_file_test.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override {
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
  }

  std::string path(const char* name) const { return directory_ + "/" + name; }

  std::string write(const char* name, std::size_t size) const {
    std::ofstream(path(name), std::ios::binary) << std::string(size, 'x');
    return path(name);
  }

  std::string directory_;
};

TEST_F(PlistFileTest, ReadsRegularFilesAndSymbolicLinksToThem) {
  const std::string target = fixturePath("settings.binary.plist");
  const std::string link = path("link.plist");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  const auto direct = readFile(target.c_str());
  ASSERT_TRUE(direct && direct->is<Dictionary>());
  EXPECT_EQ(readFile(link.c_str()), direct);
  EXPECT_EQ(readFileBytes(link.c_str()), readFixture("settings.binary.plist"));
  EXPECT_EQ(readFileBytes(write("empty", 0).c_str()), Bytes{});
}

TEST_F(PlistFileTest, SizeIsCappedWhateverTheFileReports) {
  const std::string file = write("sized", 100);
  ASSERT_TRUE(readFileBytes(file.c_str(), 100).has_value());
  EXPECT_EQ(readFileBytes(file.c_str(), 100)->size(), 100u);
  EXPECT_EQ(readFileBytes(file.c_str(), 99), std::nullopt);
  EXPECT_EQ(readFileBytes(write("huge", kMaxFileBytes + 1).c_str()), std::nullopt);
  EXPECT_EQ(readFile(write("huge", kMaxFileBytes + 1).c_str()), std::nullopt);
  // Files in /proc report a size of zero; only reading tells how large they are.
  const auto status = readFileBytes("/proc/self/status");
  ASSERT_TRUE(status.has_value());
  EXPECT_GT(status->size(), 16u);
  EXPECT_EQ(readFileBytes("/proc/self/status", 16), std::nullopt);
}

TEST_F(PlistFileTest, RefusesEverythingButRegularFilesWithoutBlocking) {
  const std::string fifo = path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& refused :
       {fifo, directory_, std::string("/dev/zero"), std::string("/dev/urandom"),
        std::string("/dev/null"), path("missing"), std::string("")}) {
    EXPECT_EQ(readFileBytes(refused.c_str()), std::nullopt) << refused;
    EXPECT_EQ(readFile(refused.c_str()), std::nullopt) << refused;
  }
  EXPECT_EQ(readFileBytes(nullptr), std::nullopt);
}

}  // namespace
}  // namespace vorla::plist
