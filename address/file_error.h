// Why a file could not be opened, read or written, and the text a user is
// shown for it.
#pragma once

#include <string>
#include <string_view>

namespace zofrin {

enum class FileErrorCause {
  kNone,
  kGeneric,
  kFileNotFound,
  kBadPath,
  kTooManyOpenFiles,
  kAccessDenied,
  kInvalidFile,
  kRemoveCurrentDir,
  kDirectoryFull,
  kBadSeek,
  kHardIo,
  kSharingViolation,
  kLockViolation,
  kDiskFull,
  kEndOfFile,
};

// The cause for a system error number.
FileErrorCause CauseFromErrno(int error);

// The message for `cause` with %1 replaced by `path`.
std::string FileErrorText(FileErrorCause cause, std::string_view path);

// Replaces every "%1" of `pattern` by `arg`.
std::string FormatText(std::string_view pattern, std::string_view arg);

}  // namespace zofrin
