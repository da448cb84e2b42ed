// The settings store's promises that a process test cannot see: the order in which it syncs and
// renames, and the reader's limits taken as the writer's to the byte. This test stands between the
// store and the C library's fsync and rename (it is linked with --wrap for both), so that it sees
// every call and can make a sync fail as a failing disk would.
#include "tools/common/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "standin/plist/plist_reader.h"
#include "tools/common/plist_writer.h"

namespace {

std::vector<std::string> calls;
int folderSyncError = 0;  // what a sync of a folder fails with, when not 0

std::string identity(const struct stat& status) {
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

}  // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __real_rename(const char* from, const char* to);

extern "C" int __wrap_fsync(int fd) {
  struct stat status {};
  bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  calls.push_back(folder ? "sync folder " + identity(status) : "sync file");
  if (folder && folderSyncError != 0) {
    errno = folderSyncError;
    return -1;
  }
  return __real_fsync(fd);
}

extern "C" int __wrap_rename(const char* from, const char* to) {
  struct stat folder {};
  ::stat(std::filesystem::path(to).parent_path().c_str(), &folder);
  calls.push_back("rename into " + identity(folder));
  return __real_rename(from, to);
}

namespace vorla::tools {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Outcome = SettingsUpdate::Outcome;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/settings_store_test.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/com.pellobrast.vorla.plist";
    calls.clear();
    folderSyncError = 0;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Makes the file hold exactly `entries`.
  SettingsUpdate store(const plist::Dictionary& entries) {
    return updateSettings(path_, false, [&](plist::Dictionary& current) {
      current = entries;
      return true;
    });
  }

  std::string folderIdentity() const {
    struct stat status {};
    EXPECT_EQ(::stat(folder_.c_str(), &status), 0);
    return identity(status);
  }

  std::string folder_;
  std::string path_;
};

plist::Dictionary withData(std::size_t size) {
  return {{"someone.else", plist::Value{plist::Data(size, 0)}}};
}

TEST_F(SettingsStoreTest, TheFolderIsSyncedAfterTheRenameSoTheWriteSurvivesAPowerLoss) {
  ASSERT_EQ(store({{"bar1", plist::Value{true}}}).outcome, Outcome::kWritten);
  std::string folder = folderIdentity();
  EXPECT_THAT(calls, ElementsAre("sync file", "rename into " + folder, "sync folder " + folder));
}

TEST_F(SettingsStoreTest, AFolderThatCannotBeSyncedIsAFailureThatSaysTheFileIsReplaced) {
  folderSyncError = EIO;
  SettingsUpdate update = store({{"bar1", plist::Value{true}}});
  EXPECT_EQ(update.outcome, Outcome::kFailed);
  EXPECT_THAT(update.problem, HasSubstr("cannot sync the folder " + folder_));
  EXPECT_THAT(update.problem, HasSubstr(std::strerror(EIO)));
  EXPECT_THAT(update.problem, HasSubstr("is replaced"));
  SettingsRead read = readSettings(path_);
  EXPECT_EQ(read.entries, (plist::Dictionary{{"bar1", plist::Value{true}}}));
}

TEST_F(SettingsStoreTest, TheLargestFileWrittenIsTheLargestTheReaderTakes) {
  // The binary format's overhead is the same for every data size near the limit.
  const std::size_t near = plist::kMaxFileBytes - 1000;
  const std::size_t overhead = plist::writeBinary(plist::Value{withData(near)}).size() - near;
  const std::size_t largest = plist::kMaxFileBytes - overhead;
  ASSERT_EQ(plist::writeBinary(plist::Value{withData(largest)}).size(), plist::kMaxFileBytes);

  ASSERT_EQ(store(withData(largest)).outcome, Outcome::kWritten);
  EXPECT_EQ(std::filesystem::file_size(path_), plist::kMaxFileBytes);
  SettingsRead read = readSettings(path_);
  ASSERT_EQ(read.outcome, SettingsRead::Outcome::kRead) << read.problem;

  SettingsUpdate refused = store(withData(largest + 1));
  EXPECT_EQ(refused.outcome, Outcome::kRefused);
  EXPECT_EQ(refused.force, SettingsUpdate::Force::kNothing);
  EXPECT_THAT(refused.problem, HasSubstr(std::to_string(plist::kMaxFileBytes) + " bytes"));
  EXPECT_EQ(std::filesystem::file_size(path_), plist::kMaxFileBytes);
}

TEST_F(SettingsStoreTest, AFileLargerThanTheReaderTakesIsUnreadableAndNamesTheLimit) {
  ASSERT_EQ(store({}).outcome, Outcome::kWritten);
  std::filesystem::resize_file(path_, plist::kMaxFileBytes + 1);
  SettingsRead read = readSettings(path_);
  EXPECT_EQ(read.outcome, SettingsRead::Outcome::kUnreadable);
  EXPECT_THAT(read.problem, HasSubstr(std::to_string(plist::kMaxFileBytes) + " bytes"));
}

TEST_F(SettingsStoreTest, ContentPastTheReadersOtherBoundsIsNotWritten) {
  ASSERT_EQ(store({{"bar1", plist::Value{true}}}).outcome, Outcome::kWritten);
  // A few hundred bytes, nested deeper than one parse goes.
  plist::Value deep{plist::Array{}};
  for (std::size_t level = 0; level < plist::kMaxDepth; ++level) {
    deep = plist::Value{plist::Array{std::move(deep)}};
  }
  SettingsUpdate refused = store({{"deep", std::move(deep)}});
  EXPECT_EQ(refused.outcome, Outcome::kRefused);
  EXPECT_THAT(refused.problem, HasSubstr("reader"));
  EXPECT_EQ(readSettings(path_).entries, (plist::Dictionary{{"bar1", plist::Value{true}}}));
}

}  // namespace
}  // namespace vorla::tools
