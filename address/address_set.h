// The address set: a map from key text to value text whose enumeration order
// is fixed by 17 buckets. A key's bucket comes from h = h * 33 + (signed
// byte) over its bytes up to the first zero byte, modulo 17; a new key goes
// to the front of its bucket's chain, a stored-again key keeps its place.
// The chains only fix the order: a hash index beside them makes Store,
// Contains and Remove O(1) expected, whatever the number of keys.
//
// Keys are the same when their bytes are equal up to the first zero byte;
// the stored key keeps the bytes it was first stored with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zofrin {

class AddressSet {
 public:
  static constexpr unsigned kBuckets = 17;

  AddressSet();

  // A key with its identity and hash, worked out once for a prefetch and
  // the lookup that follows it (see LookAhead). The hash is the same in
  // every set.
  struct Probe {
    std::string_view key;
    std::string_view identity;
    std::uint32_t hash;
  };
  static Probe ProbeOf(std::string_view key);

  // Stores `key` with `value`. Answers true when the key was new.
  bool Store(std::string_view key, std::string_view value = {}) {
    return StoreProbed(ProbeOf(key), value);
  }
  bool StoreProbed(const Probe& probe, std::string_view value = {});
  bool Contains(std::string_view key) const { return ContainsProbed(ProbeOf(key)); }
  bool ContainsProbed(const Probe& probe) const;
  // Answers true when a key was removed.
  bool Remove(std::string_view key);
  void Clear();
  std::size_t Count() const { return m_count; }
  bool Empty() const { return m_count == 0; }

  // The value stored for `key`, or an empty view when there is none.
  std::string_view Value(std::string_view key) const;

  // Calls fn(key, value) for every key in enumeration order: bucket 0 to 16,
  // each chain front to back. The set must not change meanwhile.
  template <class Fn>
  void ForEach(Fn&& fn) const {
    for (unsigned bucket = 0; bucket < kBuckets; ++bucket) {
      for (std::uint32_t e = m_heads[bucket]; e != kNil; e = m_entries[e].next) {
        fn(KeyOf(m_entries[e]), ValueOf(m_entries[e]));
      }
    }
  }

  // Calls fn(key, value) for every key of one bucket, front to back.
  template <class Fn>
  void ForEachInBucket(unsigned bucket, Fn&& fn) const {
    for (std::uint32_t e = m_heads[bucket]; e != kNil; e = m_entries[e].next) {
      fn(KeyOf(m_entries[e]), ValueOf(m_entries[e]));
    }
  }

  // Makes room for `count` keys and `bytes` bytes of text without regrowing.
  void Reserve(std::size_t count, std::size_t bytes);

  // Starts loading the index slot where the probed key is looked up; changes
  // nothing. An index of millions of keys misses the cache on nearly every
  // lookup, so a long run of lookups goes faster when each key is prefetched
  // a few keys before it is used (see LookAhead): the misses then overlap.
  void Prefetch(const Probe& probe) const {
    __builtin_prefetch(&m_index[probe.hash & m_indexMask]);
  }

  // The bytes of key and value text the set holds.
  std::size_t TextBytes() const { return m_text.size() - m_deadText; }

  // The bucket of a key (0 to 16).
  static unsigned BucketOf(std::string_view key);

 private:
  static constexpr std::uint32_t kNil = 0xFFFFFFFF;

  struct Entry {
    std::uint64_t keyOffset;
    std::uint64_t valueOffset;
    std::uint32_t keyLength;
    std::uint32_t valueLength;
    std::uint32_t next;
    std::uint32_t prev;
  };

  std::string_view KeyOf(const Entry& e) const {
    return {m_text.data() + e.keyOffset, e.keyLength};
  }
  std::string_view ValueOf(const Entry& e) const {
    return {m_text.data() + e.valueOffset, e.valueLength};
  }
  // The slot holding `key`, or the empty slot where it would go.
  std::size_t FindSlot(std::string_view identity, std::uint32_t hash) const;
  void EraseSlot(std::size_t slot);
  void GrowIndex();
  std::uint64_t AppendText(std::string_view text);
  void SetValue(Entry& e, std::string_view value);
  void CompactText();

  std::vector<Entry> m_entries;
  std::vector<std::uint32_t> m_free;  // entries to reuse
  std::vector<char> m_text;           // keys and values, packed
  std::size_t m_deadText = 0;         // bytes of m_text no entry uses
  // Open addressing with linear probing, at most 11/16 full (a probe rarely
  // leaves the slot's cache line even then). A slot holds the key's 32-bit hash
  // in its upper half and entry + 1 in its lower half; 0 is empty.
  std::vector<std::uint64_t> m_index;
  std::size_t m_indexMask = 0;
  std::uint32_t m_heads[kBuckets];
  std::size_t m_count = 0;
};

// Holds back the last few items of a long run of set lookups, so that the
// index slots they need can be prefetched (AddressSet::Prefetch) before they
// are used. Items are used in the order they came.
template <class Item, std::size_t kDepth = 8>
class LookAhead {
 public:
  // Adds `item`; once kDepth items wait, first hands the oldest to `use`.
  template <class Use>
  void Push(const Item& item, Use&& use) {
    if (m_size == kDepth) {
      use(m_items[m_head]);
      m_items[m_head] = item;
      m_head = (m_head + 1) % kDepth;
      return;
    }
    m_items[(m_head + m_size) % kDepth] = item;
    ++m_size;
  }
  // Hands every waiting item to `use`, oldest first.
  template <class Use>
  void Drain(Use&& use) {
    for (; m_size > 0; --m_size) {
      use(m_items[m_head]);
      m_head = (m_head + 1) % kDepth;
    }
  }

 private:
  Item m_items[kDepth];
  std::size_t m_head = 0;
  std::size_t m_size = 0;
};

}  // namespace zofrin
