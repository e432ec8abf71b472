#include "address/file_error.h"

#include <cerrno>

#include "resources/texts.h"

namespace zofrin {

FileErrorCause CauseFromErrno(int error) {
  switch (error) {
    case 0: return FileErrorCause::kNone;
    case ENOENT: return FileErrorCause::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EISDIR:
    case ELOOP:
    case EINVAL: return FileErrorCause::kBadPath;
    case EMFILE:
    case ENFILE: return FileErrorCause::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return FileErrorCause::kAccessDenied;
    case EBADF: return FileErrorCause::kInvalidFile;
    case EBUSY:
    case ETXTBSY: return FileErrorCause::kSharingViolation;
    case EAGAIN:
    case EDEADLK: return FileErrorCause::kLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileErrorCause::kDiskFull;
    case ESPIPE: return FileErrorCause::kBadSeek;
    case EIO: return FileErrorCause::kHardIo;
    default: return FileErrorCause::kGeneric;
  }
}

std::string FormatText(std::string_view pattern, std::string_view arg) {
  std::string out;
  out.reserve(pattern.size() + arg.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
      out += arg;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string FileErrorText(FileErrorCause cause, std::string_view path) {
  const char* pattern = texts::kFileErrorGeneric;
  switch (cause) {
    case FileErrorCause::kNone: pattern = texts::kFileErrorNone; break;
    case FileErrorCause::kGeneric: pattern = texts::kFileErrorGeneric; break;
    case FileErrorCause::kFileNotFound: pattern = texts::kFileErrorNotFound; break;
    case FileErrorCause::kBadPath: pattern = texts::kFileErrorBadPath; break;
    case FileErrorCause::kTooManyOpenFiles: pattern = texts::kFileErrorTooManyOpen; break;
    case FileErrorCause::kAccessDenied: pattern = texts::kFileErrorAccessDenied; break;
    case FileErrorCause::kInvalidFile: pattern = texts::kFileErrorInvalidFile; break;
    case FileErrorCause::kRemoveCurrentDir: pattern = texts::kFileErrorRemoveCurrentDir; break;
    case FileErrorCause::kDirectoryFull: pattern = texts::kFileErrorDirectoryFull; break;
    case FileErrorCause::kBadSeek: pattern = texts::kFileErrorBadSeek; break;
    case FileErrorCause::kHardIo: pattern = texts::kFileErrorHardIo; break;
    case FileErrorCause::kSharingViolation: pattern = texts::kFileErrorSharingViolation; break;
    case FileErrorCause::kLockViolation: pattern = texts::kFileErrorLockViolation; break;
    case FileErrorCause::kDiskFull: pattern = texts::kFileErrorDiskFull; break;
    case FileErrorCause::kEndOfFile: pattern = texts::kFileErrorEndOfFile; break;
  }
  return FormatText(pattern, path);
}

}  // namespace zofrin
