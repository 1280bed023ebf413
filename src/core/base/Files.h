#pragma once
// File services shared by every subsystem. Paths are cp1251 text; both '/' and
// '\' are accepted as separators and converted before they reach the system.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);
// Creates every missing folder of the path; failures are not reported.
void ForceFolders(std::string_view path);
// Copies source over destination through WriteFileAtomic; throws TernError
// naming the file that could not be read or written.
bool CopyFileTo(std::string_view source, std::string_view destination);
// Size from the folder listing, -1 when the file is absent.
long long FileSizeOf(std::string_view path);
bool DeleteFileAt(std::string_view path);
bool RenameFile(std::string_view from, std::string_view to);

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(std::string_view path);
// Whole file as bytes; nullopt only when there is no such file. A file that
// exists but cannot be read throws TernError naming it, so that a caller about
// to rewrite it never takes it for an empty one.
std::optional<std::string> ReadFileIfPresent(std::string_view path);
// Replaces the file atomically: the content goes to a temporary file of a fresh,
// exclusively created name in the same folder, is flushed to disk and renamed
// over the target, so a crash or a full disk leaves the old file intact. The
// file keeps the mode of the one it replaces (a new one gets 0666 less the
// umask); a read-only file is not replaced. A link at the name is replaced
// itself, never followed: folders the desk writes to may be shared with other
// users. Throws TernError naming the file on failure.
void WriteFileAtomic(std::string_view path, std::string_view content);
// The file a write to path should replace: links made by the desk's own user
// (or by root) are followed to their target, so an operator may keep a settings
// file elsewhere; a link anyone else made is refused with TernError naming path.
std::string FollowOwnLinks(std::string_view path);

// The companion of a file with another extension: the exact name first, then a
// case-insensitive match in the same folder. nullopt when there is none.
std::optional<std::string> FindCompanionFile(std::string_view basePathWithoutExt, std::string_view ext);
// A file by name in its folder: the exact name first, then case-insensitively.
std::optional<std::string> FindFileNoCase(std::string_view path);

std::string CurrentFolder();      // with trailing separator
std::string ExecutableFolder();   // with trailing separator
std::string HomeFolder();         // with trailing separator
// Absolute form of a path (relative to the current folder), separators as '/'.
std::string AbsolutePath(std::string_view path);

}  // namespace tern
