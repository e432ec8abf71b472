#include "address/file_text.h"

namespace zofrin {

std::size_t CutBlocksAtZero(char* data, std::size_t size) {
  // Text rarely holds a zero byte: one search finds the first block to cut.
  const void* firstZero = std::memchr(data, 0, size);
  if (firstZero == nullptr) return size;
  const std::size_t start =
      static_cast<std::size_t>(static_cast<const char*>(firstZero) - data) / kTextBlockSize *
      kTextBlockSize;
  std::size_t kept = start;
  for (std::size_t block = start; block < size; block += kTextBlockSize) {
    const std::size_t length = std::min(kTextBlockSize, size - block);
    const void* zero = std::memchr(data + block, 0, length);
    const std::size_t take =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - (data + block)) : length;
    if (kept != block) std::memmove(data + kept, data + block, take);
    kept += take;
  }
  return kept;
}

}  // namespace zofrin
