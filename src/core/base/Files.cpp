#include "base/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/Error.h"
#include "base/Text.h"

namespace tern {

bool FileExists(std::string_view path) {
  struct stat st{};
  return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path) {
  struct stat st{};
  return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void ForceFolders(std::string_view path) {
  if (path.empty()) return;
  std::string p(path);
  if (IsPathSeparator(p.back())) p.pop_back();
  if (p.size() <= 2 || FolderExists(p)) return;
  const std::string parent = ExtractFilePath(p);
  if (!parent.empty() && parent != p) ForceFolders(parent);
  ::mkdir(NativePath(p).c_str(), 0777);
}

bool CopyFileTo(std::string_view source, std::string_view destination) {
  const auto data = ReadWholeFile(source);
  if (!data) throw TernError(cp("Не удалось открыть файл ") + std::string(source));
  // The save folder may be shared: the copy is written like every other file,
  // so a link someone left at its name is replaced, not written through.
  WriteFileAtomic(destination, *data);
  return true;
}

long long FileSizeOf(std::string_view path) {
  struct stat st{};
  if (path.empty() || ::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

bool DeleteFileAt(std::string_view path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool RenameFile(std::string_view from, std::string_view to) {
  return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return ss.str();
}

std::optional<std::string> ReadFileIfPresent(std::string_view path) {
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw TernError(cp("Ошибка чтения файла ") + std::string(path));
  }
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      throw TernError(cp("Ошибка чтения файла ") + std::string(path));
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

namespace {

// The mode open() would give a new file. The umask is read from the process
// status: setting it to learn it would race with other threads creating files.
mode_t NewFileMode() {
  mode_t mask = 022;
  if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned value = 0;
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "Umask: %o", &value) == 1) {
        mask = static_cast<mode_t>(value);
        break;
      }
    std::fclose(f);
  }
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The folder's own entry reaches the disk too, or a crash could lose the rename.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void WriteFileAtomic(std::string_view path, std::string_view content) {
  const std::string target = NativePath(path);
  const std::string failure = cp("Ошибка записи файла ") + std::string(path);
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = target.substr(folder.size());

  // Only a regular file at the name is replaced in its own right: it keeps its
  // mode, and a read-only one is refused (the rename needs only a writable
  // folder and would get round the mark). Anything else there, such as a link
  // another user left in a shared folder, is replaced by the rename, never
  // written through.
  struct stat old{};
  const bool replacing = ::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  if (replacing && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw TernError(failure);

  // A fresh name nobody can foresee, created exclusively: a file or link planted
  // under any name in the folder is never opened.
  std::string temp = folder + "." + name + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) throw TernError(failure);
  const mode_t mode = replacing ? (old.st_mode & 07777) : NewFileMode();
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw TernError(failure);
  }
  SyncFolder(folder);
}

std::string FollowOwnLinks(std::string_view path) {
  std::string p = NativePath(path);
  // As many links in a row as the system itself follows.
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st{};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    if (st.st_uid != ::geteuid() && st.st_uid != 0) break;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof buf)) break;
    std::string to(buf, static_cast<size_t>(n));
    if (to[0] != '/') to = p.substr(0, p.rfind('/') + 1) + to;
    p = std::move(to);
  }
  throw TernError(cp("Ошибка записи файла ") + std::string(path));
}

std::optional<std::string> FindFileNoCase(std::string_view path) {
  if (FileExists(path)) return std::string(path);
  const std::string folder = ExtractFilePath(path);
  const std::string name = ExtractFileName(path);
  DIR* dir = ::opendir(folder.empty() ? "." : NativePath(folder).c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(dir)) {
    if (SameText(e->d_name, name) && FileExists(folder + e->d_name)) {
      found = folder + e->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

std::optional<std::string> FindCompanionFile(std::string_view basePathWithoutExt, std::string_view ext) {
  return FindFileNoCase(std::string(basePathWithoutExt) + std::string(ext));
}

std::string CurrentFolder() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return "./";
  return IncludeTrailingSeparator(buf);
}

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return CurrentFolder();
  buf[n] = 0;
  return ExtractFilePath(buf);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return IncludeTrailingSeparator(home && *home ? home : "/");
}

std::string AbsolutePath(std::string_view path) {
  std::string p = NativePath(path);
  if (p.empty()) return CurrentFolder();
  if (p[0] != '/') p = CurrentFolder() + p;
  return p;
}

}  // namespace tern
