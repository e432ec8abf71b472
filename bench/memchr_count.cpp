// The floor for a scanner: reads each file with 1 MiB reads and counts its
// '@'s with memchr, nothing else. Prints the total.
//   memchr_count FILE...

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  std::vector<char> buffer(1 << 20);
  unsigned long long count = 0;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const int fd = ::open(argv[i], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      std::fprintf(stderr, "memchr_count: %s: %s\n", argv[i], std::strerror(errno));
      status = 1;
      continue;
    }
    for (;;) {
      const ssize_t got = ::read(fd, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        std::fprintf(stderr, "memchr_count: %s: %s\n", argv[i], std::strerror(errno));
        status = 1;
      }
      if (got <= 0) break;
      const char* p = buffer.data();
      const char* end = p + got;
      while (const void* hit = std::memchr(p, '@', static_cast<std::size_t>(end - p))) {
        ++count;
        p = static_cast<const char*>(hit) + 1;
      }
    }
    ::close(fd);
  }
  std::printf("%llu\n", count);
  return status;
}
