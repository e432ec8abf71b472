// What reading a damaged list file allocates: in proportion to the file's
// size, never to the counts and lengths it claims. Every operator new of
// this program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "address/address_set.h"
#include "address/list_file.h"
#include "damaged_lists.h"
#include "reliability_support.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<std::size_t> g_total{0};
std::atomic<std::size_t> g_largest{0};

void Count(std::size_t size) {
  if (!g_counting.load(std::memory_order_relaxed)) return;
  g_total += size;
  std::size_t largest = g_largest.load();
  while (size > largest && !g_largest.compare_exchange_weak(largest, size)) {
  }
}

void* Allocate(std::size_t size) {
  Count(size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
  Count(size);
  const std::size_t alignment = static_cast<std::size_t>(align);
  if (void* p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)) {
    return p;
  }
  throw std::bad_alloc();
}

struct Allocations {
  std::size_t total;
  std::size_t largest;
};

template <class Fn>
Allocations Measure(Fn&& fn) {
  g_total = 0;
  g_largest = 0;
  g_counting = true;
  fn();
  g_counting = false;
  return {g_total.load(), g_largest.load()};
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) {
  return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return AllocateAligned(size, align);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

using namespace zofrin;
using namespace zofrin::test;

// The reader keeps an index, entries and text for what the bytes can hold:
// a few dozen bytes per byte of file at most, plus the first read buffer.
constexpr std::size_t kPerByte = 64;
constexpr std::size_t kFixed = 80 * 1024;

TEST(DamagedListsMemoryTest, ReadingAllocatesInProportionToTheFile) {
  TempDir dir;
  const std::string path = dir.File("damaged.lse");
  std::size_t files = 0;
  for (const DamagedList& file : AllDamagedListFiles()) {
    SCOPED_TRACE(file.name);
    const std::size_t bound = kPerByte * file.bytes.size() + kFixed;
    AddressSet set;
    const Allocations inMemory = Measure([&] { (void)ReadListBytes(file.bytes, set); });
    EXPECT_LE(inMemory.total, bound);

    WriteBytes(path, file.bytes);
    AddressSet fromFile;
    const Allocations throughFile = Measure([&] { (void)ReadListFile(path, fromFile); });
    EXPECT_LE(throughFile.total, bound);
    ++files;
  }
  std::printf("[          ] %zu files read with allocations counted\n", files);
}

TEST(DamagedListsMemoryTest, TenBytesClaimingFourBillionEntries) {
  const std::string bytes("\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\0", 10);
  AddressSet set;
  ListFileError::Kind kind = ListFileError::Kind::kNone;
  const Allocations used = Measure([&] { kind = ReadListBytes(bytes, set); });
  EXPECT_EQ(kind, ListFileError::Kind::kEndOfData);
  EXPECT_LE(used.total, 1024u) << "largest single allocation " << used.largest;
}

}  // namespace
