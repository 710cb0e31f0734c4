#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "shell/FileProfileStore.h"

namespace zlv {
namespace {

namespace fs = std::filesystem;

class FileStore : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("zlv_store_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "settings.ini").string();
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  void Put(const std::string& content) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(FileStore, ReplacesThroughATemporaryFileAndLeavesNoneBehind) {
  Put("; keep me\r\n[S]\r\nk=old\r\n");
  std::string replacedFrom;
  FileProfileStore store([&](const std::string& from, const std::string& to) {
    replacedFrom = from;
    return RenameReplace(from, to);
  });
  EXPECT_TRUE(store.WriteString("S", "k", "new", path_));
  EXPECT_EQ(ReadWholeFile(path_), "; keep me\r\n[S]\r\nk=new\r\n");
  EXPECT_EQ(fs::path(replacedFrom).parent_path(), dir_) << "same folder, same volume";
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileStore, FallsBackToRewritingInPlaceWhenNoReplacementIsPossible) {
  const std::string cases[] = {"[S]\r\nk=a much longer old value\r\n", ""};
  for (const auto& before : cases) {
    Put(before);
    FileProfileStore store([](const std::string&, const std::string&) { return false; });
    EXPECT_TRUE(store.WriteString("S", "k", "v", path_));
    EXPECT_EQ(ReadWholeFile(path_), "[S]\r\nk=v\r\n") << before;
    EXPECT_EQ(Entries(), 1u) << "the temporary file is removed";
  }
}

TEST_F(FileStore, CreatesAMissingFileButNotAMissingFolder) {
  FileProfileStore store;
  EXPECT_TRUE(store.WriteString("S", "k", "v", path_));
  EXPECT_EQ(ReadWholeFile(path_), "[S]\r\nk=v\r\n");
  const std::string nowhere = (dir_ / "missing" / "settings.ini").string();
  EXPECT_FALSE(store.WriteString("S", "k", "v", nowhere));
  EXPECT_FALSE(fs::exists(nowhere));
  EXPECT_EQ(store.GetString("S", "k", "d", nowhere), "d");
}

TEST_F(FileStore, RefusedWritesLeaveTheFileAsItWas) {
  const std::string before = "[S]\r\nk=v\r\n";
  Put(before);
  FileProfileStore store;
  EXPECT_FALSE(store.WriteString("", "k", "v", path_));
  EXPECT_FALSE(store.WriteString("S", "k", "two\nlines", path_));
  EXPECT_EQ(ReadWholeFile(path_), before);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileStore, PermissionsAreRespected) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes regardless of permissions";
  const std::string before = "[S]\r\nk=v\r\n";
  Put(before);
  FileProfileStore store;

  // A read-only file stays untouched, although the folder would allow a replacement.
  fs::permissions(path_, fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_FALSE(store.WriteString("S", "k", "w", path_));
  EXPECT_EQ(ReadWholeFile(path_), before);
  EXPECT_EQ(Entries(), 1u);

  // A writable file in a read-only folder is rewritten in place.
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  EXPECT_TRUE(store.WriteString("S", "k", "w", path_));
  EXPECT_EQ(ReadWholeFile(path_), "[S]\r\nk=w\r\n");
}

}  // namespace
}  // namespace zlv
