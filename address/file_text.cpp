#include "address/file_text.h"

namespace zofrin {

std::size_t CutBlocksAtZero(char* data, std::size_t size) {
  std::size_t kept = 0;
  for (std::size_t block = 0; block < size; block += kTextBlockSize) {
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
