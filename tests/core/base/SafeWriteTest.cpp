// Files the desk writes into folders other users can write to (a group-writable
// archive share, a shared save folder): nothing another user plants there turns
// a write of the desk against a file of its own user.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "FakeAscent.h"
#include "OtherUser.h"
#include "TestSupport.h"
#include "app/Startup.h"
#include "app/TelegramFiles.h"
#include "base/Error.h"
#include "base/Files.h"
#include "config/MyIniFile.h"

using namespace tern;
using tern::test::TempDir;

namespace {

const std::string kPrivate = "the desk user's own file\n";

// A private file of the desk's user and a shared folder anyone may write to.
struct SharedFolder {
  TempDir dir;
  std::string secret = dir / "private/secret";
  std::string share = dir / "share/";

  SharedFolder() {
    test::WriteBytes(secret, kPrivate);
    std::filesystem::create_directories(share);
    ::chmod(dir.path().c_str(), 0711);
    ::chmod((dir / "private").c_str(), 0700);
    ::chmod(share.c_str(), 0777);
  }

  // The other user plants a link to the private file at each name.
  void Plant(const std::vector<std::string>& names) const {
    const auto child = test::AsOtherUser([&]() -> std::string {
      for (const auto& n : names)
        if (::symlink(secret.c_str(), n.c_str()) != 0) return "cannot plant " + n;
      return {};
    });
    ASSERT_EQ(child.exitCode, 0) << child.failure;
  }
};

// The name is a regular file of the desk's user, not a link.
std::string RegularOwnFile(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return "missing";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  if (st.st_uid != ::geteuid()) return "owned by uid " + std::to_string(st.st_uid);
  return "regular";
}

}  // namespace

TEST(SafeWrite, PlantedLinksAreNeverFollowed) {
  struct Case {
    const char* what;
    const char* name;
    bool linkAtTarget;  // settings files follow a link at their own name; see the settings tests
    std::function<void(const std::string& target, SharedFolder&)> write;
    std::string expected;  // the bytes of the written file
  };
  const Case cases[] = {
      {"BUFR file", "A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin", true,
       [](const std::string& t, SharedFolder&) { WriteFileAtomic(t, "BUFR message"); }, "BUFR message"},
      {"copy into the save folder", "A_IUKD01RUMS091100_C_RUMS_202612091117_27612.bin", true,
       [](const std::string& t, SharedFolder& f) {
         test::WriteBytes(f.dir / "private/own.bin", "BUFR copy");
         CopyFileTo(f.dir / "private/own.bin", t);
       },
       "BUFR copy"},
      {"saved bulletin", "A_USRS01RUMS091100_C_RUMS_202612091117_27612.txt", true,
       [](const std::string& t, SharedFolder&) { SaveTelegram(t, "TTAA 59111 27612"); }, "TTAA 59111 27612"},
      {"edit file", "asc.rjI", true,
       [](const std::string& t, SharedFolder&) {
         test::FakeAscent a;
         a.SourceFile = ChangeFileExt(t, ".prof");
         a.AddLevel(1000).RejFlags = kRejWind;
         a.SaveEdits();
       },
       std::string()},
      {"settings file", "27612.GTS", false,
       [](const std::string& t, SharedFolder&) { TMyIniFile(t).WriteString("GTS", "AA", "1"); }, "[GTS]\r\nAA=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SharedFolder f;
    const std::string target = f.share + c.name;
    std::vector<std::string> planted{target + ".tmp~"};
    if (c.linkAtTarget) planted.push_back(target);
    f.Plant(planted);
    try {
      c.write(target, f);
    } catch (const TernError& e) {
      ADD_FAILURE() << Cp1251ToUtf8(e.Text());
    }
    EXPECT_EQ(test::ReadBytes(f.secret), kPrivate);
    EXPECT_EQ(RegularOwnFile(target), "regular");
    if (!c.expected.empty()) {
      EXPECT_EQ(test::ReadBytes(target), c.expected);
    } else {
      EXPECT_EQ(FileSizeOf(target), 64);
    }
  }
}

TEST(SafeWrite, LogRefusesALinkAtItsName) {
  SharedFolder f;
  const std::string log = f.share + "desk.log";
  f.Plant({log});
  EXPECT_FALSE(Log::Open(log, 46000));
  Log::Write("Run");
  Log::Disable();
  EXPECT_EQ(test::ReadBytes(f.secret), kPrivate);
}

TEST(SafeWrite, ModesOfNewAndReplacedFiles) {
  struct Case {
    const char* what;
    int existing;  // mode of the file replaced, -1 for a new file
    mode_t umask;
    int expected;
  };
  const Case cases[] = {
      {"new file, umask 022", -1, 022, 0644},
      {"new file, umask 027", -1, 027, 0640},
      {"new file, umask 077", -1, 077, 0600},
      {"replaces a private file", 0600, 022, 0600},
      {"replaces a group-writable file", 0664, 077, 0664},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir / "ASCVAR.CNF";
    if (c.existing >= 0) {
      test::WriteBytes(path, "old");
      ::chmod(path.c_str(), static_cast<mode_t>(c.existing));
    }
    const mode_t old = ::umask(c.umask);
    WriteFileAtomic(path, "new");
    ::umask(old);
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(static_cast<int>(st.st_mode & 07777), c.expected);
    EXPECT_EQ(test::ReadBytes(path), "new");
  }
}
