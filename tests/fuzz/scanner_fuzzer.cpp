// Any text given to the address scanner. Every address it finds passes the
// validity test, stands in the text as a whole candidate (runs of address
// characters around one '@'), and is found again in the text cut just
// around it. The scanner agrees with a plain walk over every '@', and the
// streaming scanner, fed the text in random pieces, finds the same
// addresses in the same order. The file-text block rule is checked against
// a plain version too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "address/address_chars.h"
#include "address/file_text.h"
#include "address/scanner.h"
#include "address/validity.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "scanner_fuzzer: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// The scanning rule, one '@' at a time, walking both runs out in full.
std::vector<std::string> PlainScan(std::string_view text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '@') continue;
    std::size_t left = i;
    while (left > 0 && zofrin::IsAddressChar(text[left - 1])) --left;
    std::size_t right = i + 1;
    while (right < text.size() && zofrin::IsAddressChar(text[right])) ++right;
    if (left == i || right == i + 1) continue;
    const std::string_view candidate = text.substr(left, right - left);
    if (zofrin::IsValidAddress(candidate)) found.emplace_back(candidate);
  }
  return found;
}

std::vector<std::string> Scan(std::string_view text) {
  std::vector<std::string> found;
  zofrin::ForEachAddress(text, [&](std::string_view address) { found.emplace_back(address); });
  return found;
}

// A small generator for the piece sizes, seeded from the input.
struct Random {
  std::uint64_t state;
  std::size_t Below(std::size_t bound) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::size_t>((state >> 33) % bound);
  }
};

std::vector<std::string> StreamScan(std::string_view text, Random& random) {
  std::vector<std::string> found;
  auto sink = [&](std::string_view address) { found.emplace_back(address); };
  zofrin::StreamScanner scanner;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Mostly short pieces, so that runs and '@'s cross many boundaries;
    // now and then an empty one.
    std::size_t piece = random.Below(8) == 0 ? random.Below(text.size() + 1) : random.Below(6);
    if (piece > text.size() - pos) piece = text.size() - pos;
    char* area = scanner.Reserve(piece);
    if (piece > 0) std::memcpy(area, text.data() + pos, piece);
    scanner.Commit(piece, sink);
    pos += piece;
  }
  scanner.Finish(sink);
  return found;
}

// The block rule done plainly: each 512-byte block cut at its first zero.
std::string PlainBlocks(std::string_view bytes) {
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += zofrin::kTextBlockSize) {
    const std::string_view block = bytes.substr(at, zofrin::kTextBlockSize);
    out += block.substr(0, block.find('\0'));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The block rule on the raw bytes, zero bytes included.
  std::string blocks(input);
  blocks.resize(zofrin::CutBlocksAtZero(blocks.data(), blocks.size()));
  Check(blocks == PlainBlocks(input), "CutBlocksAtZero differs from the plain block rule");

  // The scanners take text without zero bytes, as their callers cut it.
  const std::string_view text = input.substr(0, input.find('\0'));

  std::vector<std::string_view> views;
  zofrin::ForEachAddress(text, [&](std::string_view address) { views.push_back(address); });
  std::vector<std::string> found(views.begin(), views.end());

  bool first = true;
  std::size_t previousAt = 0;
  for (const std::string_view address : views) {
    Check(zofrin::IsValidAddress(address), "an address found fails the validity test");
    Check(address.data() >= text.data() &&
              address.data() + address.size() <= text.data() + text.size(),
          "an address found is no part of the text");
    const std::size_t start = static_cast<std::size_t>(address.data() - text.data());
    const std::size_t end = start + address.size();
    const std::size_t at = start + address.find('@');
    Check(first || at > previousAt, "addresses out of the order of their '@'");
    first = false;
    previousAt = at;
    // A whole candidate: nothing that could extend it on either side.
    Check(start == 0 || !zofrin::IsAddressChar(text[start - 1]), "left run cut short");
    Check(end == text.size() || !zofrin::IsAddressChar(text[end]), "right run cut short");
    // Cut out with one neighbouring character on each side, or alone, it is
    // the only address found.
    const std::size_t from = start > 0 ? start - 1 : 0;
    const std::size_t to = end < text.size() ? end + 1 : end;
    for (const std::string_view cut : {text.substr(from, to - from), address}) {
      const std::vector<std::string> again = Scan(cut);
      Check(again.size() == 1 && again[0] == address, "not found again in the text cut around it");
    }
  }

  Check(found == PlainScan(text), "the scanner differs from the plain scanning rule");
  Check(zofrin::ExtractAddresses(text) == found, "ExtractAddresses differs from ForEachAddress");

  Random random{0x9E3779B97F4A7C15ULL ^ size};
  for (const char c : text.substr(0, 8)) {
    random.state = random.state * 31 + static_cast<unsigned char>(c);
  }
  for (int round = 0; round < 3; ++round) {
    Check(StreamScan(text, random) == found, "the streaming scanner differs over random pieces");
  }
  return 0;
}
