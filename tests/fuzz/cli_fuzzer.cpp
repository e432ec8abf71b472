// zofrin-cli run in-process on any arguments, list files and standard
// input. The input is the argument text (one argument per line) up to the
// first zero byte, then the bytes of file "a", of file "b" and of standard
// input, separated by lines holding "==". Each run happens in a folder of
// its own that also holds a folder "d" and a read-only copy "r" of file
// "a"; a '/' in an argument becomes '_', so no run reaches outside it.
// Every run must end with status 0, 1 or 2 and leave no file behind that
// its arguments do not name (such as a temporary file of a save).
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The program's main() becomes a function this fuzzer calls.
#define main ZofrinCliMain
#include "cli/main.cpp"  // NOLINT(bugprone-suspicious-include)
#undef main

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "cli_fuzzer: %s\n", what.c_str());
  std::abort();
}

void WriteFile(const char* name, std::string_view bytes, mode_t mode = 0644) {
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) Fail(std::string("cannot create ") + name);
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n <= 0) Fail(std::string("cannot write ") + name);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
}

// Empties the current folder.
void Clear() {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(".", error)) {
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(entry.path(), error);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string folder;
  if (const char* given = std::getenv("ZOFRIN_FUZZ_WORKDIR"); given != nullptr && *given) {
    folder = given;
    fs::create_directories(folder);
  } else {
    char pattern[] = "/tmp/zofrin-cli-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) Fail("cannot make a work folder");
    folder = pattern;
  }
  if (::chdir(folder.c_str()) != 0) Fail("cannot enter " + folder);
  Clear();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string_view argText = input.substr(0, zero);
  std::string_view rest =
      zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);

  std::vector<std::string> args = {"zofrin-cli"};
  for (std::size_t pos = 0; pos <= argText.size() && args.size() < 24;) {
    const std::size_t end = std::min(argText.find('\n', pos), argText.size());
    std::string arg(argText.substr(pos, end - pos));
    for (char& c : arg) {
      if (c == '/') c = '_';
    }
    args.push_back(std::move(arg));
    pos = end + 1;
  }

  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t mark = rest.find("\n==\n");
    if (mark == std::string_view::npos || parts.size() == 2) break;
    parts.push_back(rest.substr(0, mark));
    rest.remove_prefix(mark + 4);
  }
  parts.push_back(rest);

  Clear();
  WriteFile("a", parts[0]);
  WriteFile("r", parts[0], 0444);
  if (parts.size() > 1) WriteFile("b", parts[1]);
  if (::mkdir("d", 0755) != 0) Fail("cannot make d");
  WriteFile(".stdin", parts.size() > 2 ? parts[2] : std::string_view());
  const int in = ::open(".stdin", O_RDONLY | O_CLOEXEC);
  if (in < 0 || ::dup2(in, STDIN_FILENO) < 0) Fail("cannot set standard input");
  ::close(in);
  ::unlink(".stdin");

  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int status = ZofrinCliMain(static_cast<int>(args.size()), argv.data());
  if (status < 0 || status > 2) Fail("exit status " + std::to_string(status));

  // Only the files made above and files the arguments name may be there.
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(".", error)) {
    const std::string name = entry.path().filename().string();
    bool known = name == "a" || name == "b" || name == "r" || name == "d";
    for (std::size_t i = 1; i < args.size() && !known; ++i) {
      const std::string& arg = args[i];
      known = arg == name || (arg.size() > name.size() && arg.ends_with("=" + name));
    }
    if (!known) Fail("a file no argument names was left behind: " + name);
  }
  return 0;
}
