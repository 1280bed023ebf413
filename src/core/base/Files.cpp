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
  std::ifstream in(NativePath(source), std::ios::binary);
  if (!in) throw TernError(cp("Не удалось открыть файл ") + std::string(source));
  std::ofstream out(NativePath(destination), std::ios::binary | std::ios::trunc);
  if (!out) throw TernError(cp("Не удалось создать файл ") + std::string(destination));
  out << in.rdbuf();
  out.flush();
  if (!out) throw TernError(cp("Ошибка записи файла ") + std::string(destination));
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

void WriteFileAtomic(std::string_view path, std::string_view content) {
  const std::string target = NativePath(path);
  const std::string temp = target + ".tmp~";
  const std::string failure = cp("Ошибка записи файла ") + std::string(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) throw TernError(failure);
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      ::unlink(temp.c_str());
      throw TernError(failure);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(temp.c_str());
    throw TernError(failure);
  }
  // Keep the permissions of the file being replaced.
  struct stat st{};
  if (::stat(target.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw TernError(failure);
  }
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
