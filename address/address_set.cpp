#include "address/address_set.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>

namespace zofrin {
namespace {

// Keys are the same up to their first zero byte.
std::string_view Identity(std::string_view key) {
  // Keys are short and hardly ever hold a zero byte: eight bytes at a time
  // are checked for one, and only a word that has one is searched bytewise.
  const char* p = key.data();
  const std::size_t n = key.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull) != 0) break;
  }
  for (; i < n; ++i) {
    if (p[i] == 0) return key.substr(0, i);
  }
  return key;
}

// Whether the stored key `key` has the identity `identity` (which holds no
// zero byte), without searching all of `key` for one.
bool HasIdentity(std::string_view key, std::string_view identity) {
  const std::size_t n = identity.size();
  if (key.size() < n || (n > 0 && std::memcmp(key.data(), identity.data(), n) != 0)) return false;
  return key.size() == n || key[n] == 0;
}

const std::uint64_t kSeed = [] {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}();

std::uint32_t HashOf(std::string_view identity) {
  const char* p = identity.data();
  std::size_t n = identity.size();
  std::uint64_t h = kSeed ^ (n * 0x9E3779B97F4A7C15ull);
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    p += 8;
    n -= 8;
  }
  std::uint64_t tail = 0;
  if (n > 0) std::memcpy(&tail, p, n);
  h = (h ^ tail) * 0x94D049BB133111EBull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

constexpr std::size_t kInitialSlots = 64;

}  // namespace

unsigned AddressSet::BucketOf(std::string_view key) {
  std::uint32_t h = 0;
  for (char c : key) {
    if (c == 0) break;
    h = h * 33 + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
  }
  return h % kBuckets;
}

AddressSet::AddressSet() { Clear(); }

void AddressSet::Clear() {
  m_entries = {};
  m_free = {};
  m_text = {};
  m_deadText = 0;
  m_index.assign(kInitialSlots, 0);
  m_indexMask = kInitialSlots - 1;
  for (auto& head : m_heads) head = kNil;
  m_count = 0;
}

void AddressSet::Reserve(std::size_t count, std::size_t bytes) {
  m_entries.reserve(count);
  m_text.reserve(m_text.size() + bytes);
  std::size_t slots = m_index.size();
  while (slots / 16 * 11 < count) slots *= 2;
  if (slots != m_index.size()) {
    std::vector<std::uint64_t> old;
    old.swap(m_index);
    m_index.assign(slots, 0);
    m_indexMask = slots - 1;
    for (std::uint64_t slot : old) {
      if (slot == 0) continue;
      std::size_t i = (slot >> 32) & m_indexMask;
      while (m_index[i] != 0) i = (i + 1) & m_indexMask;
      m_index[i] = slot;
    }
  }
}

std::size_t AddressSet::FindSlot(std::string_view identity, std::uint32_t hash) const {
  std::size_t i = hash & m_indexMask;
  for (;;) {
    const std::uint64_t slot = m_index[i];
    if (slot == 0) return i;
    if (static_cast<std::uint32_t>(slot >> 32) == hash) {
      const Entry& e = m_entries[static_cast<std::uint32_t>(slot) - 1];
      if (HasIdentity(KeyOf(e), identity)) return i;
    }
    i = (i + 1) & m_indexMask;
  }
}

void AddressSet::GrowIndex() { Reserve(m_count + m_count / 2 + 1, 0); }

std::uint64_t AddressSet::AppendText(std::string_view text) {
  const std::uint64_t offset = m_text.size();
  m_text.insert(m_text.end(), text.begin(), text.end());
  return offset;
}

void AddressSet::SetValue(Entry& e, std::string_view value) {
  if (value.size() <= e.valueLength) {
    // Reuse the old place; an empty value needs none.
    if (!value.empty()) std::memmove(m_text.data() + e.valueOffset, value.data(), value.size());
    m_deadText += e.valueLength - value.size();
    e.valueLength = static_cast<std::uint32_t>(value.size());
    return;
  }
  m_deadText += e.valueLength;
  e.valueOffset = AppendText(value);
  e.valueLength = static_cast<std::uint32_t>(value.size());
}

bool AddressSet::StoreProbed(const Probe& probe, std::string_view value) {
  const std::string_view key = probe.key;
  const std::string_view identity = probe.identity;
  const std::uint32_t hash = probe.hash;
  if (key.size() > 0xFFFFFFFFu || value.size() > 0xFFFFFFFFu) throw std::length_error("text");
  std::size_t slot = FindSlot(identity, hash);
  if (m_index[slot] != 0) {
    SetValue(m_entries[static_cast<std::uint32_t>(m_index[slot]) - 1], value);
    return false;
  }
  if (m_count >= 0xFFFFFFFEu) throw std::length_error("too many keys");
  if (m_count + 1 > m_index.size() / 16 * 11) {
    GrowIndex();
    slot = FindSlot(identity, hash);
  }
  // Append before taking any reference: the text buffer may move.
  const std::uint64_t keyOffset = AppendText(key);
  const std::uint64_t valueOffset = value.empty() ? 0 : AppendText(value);
  std::uint32_t id;
  if (!m_free.empty()) {
    id = m_free.back();
    m_free.pop_back();
  } else {
    id = static_cast<std::uint32_t>(m_entries.size());
    m_entries.emplace_back();
  }
  const unsigned bucket = BucketOf(key);
  Entry& e = m_entries[id];
  e.keyOffset = keyOffset;
  e.keyLength = static_cast<std::uint32_t>(key.size());
  e.valueOffset = valueOffset;
  e.valueLength = static_cast<std::uint32_t>(value.size());
  e.prev = kNil;
  e.next = m_heads[bucket];
  if (e.next != kNil) m_entries[e.next].prev = id;
  m_heads[bucket] = id;
  m_index[slot] = (static_cast<std::uint64_t>(hash) << 32) | (id + 1);
  ++m_count;
  return true;
}

AddressSet::Probe AddressSet::ProbeOf(std::string_view key) {
  const std::string_view identity = Identity(key);
  return {key, identity, HashOf(identity)};
}

bool AddressSet::ContainsProbed(const Probe& probe) const {
  return m_index[FindSlot(probe.identity, probe.hash)] != 0;
}

std::string_view AddressSet::Value(std::string_view key) const {
  const std::string_view identity = Identity(key);
  const std::uint64_t slot = m_index[FindSlot(identity, HashOf(identity))];
  if (slot == 0) return {};
  return ValueOf(m_entries[static_cast<std::uint32_t>(slot) - 1]);
}

void AddressSet::EraseSlot(std::size_t hole) {
  // Backward-shift deletion keeps every probe run unbroken without tombstones.
  std::size_t j = hole;
  for (;;) {
    j = (j + 1) & m_indexMask;
    const std::uint64_t slot = m_index[j];
    if (slot == 0) break;
    const std::size_t home = (slot >> 32) & m_indexMask;
    // Move the slot back unless its home lies cyclically in (hole, j].
    const bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
    if (!stays) {
      m_index[hole] = slot;
      hole = j;
    }
  }
  m_index[hole] = 0;
}

bool AddressSet::Remove(std::string_view key) {
  const std::string_view identity = Identity(key);
  const std::size_t slot = FindSlot(identity, HashOf(identity));
  if (m_index[slot] == 0) return false;
  const std::uint32_t id = static_cast<std::uint32_t>(m_index[slot]) - 1;
  EraseSlot(slot);
  if (m_count == 1) {
    Clear();  // the last key leaves the set as if new
    return true;
  }
  Entry& e = m_entries[id];
  if (e.prev != kNil) {
    m_entries[e.prev].next = e.next;
  } else {
    m_heads[BucketOf(KeyOf(e))] = e.next;
  }
  if (e.next != kNil) m_entries[e.next].prev = e.prev;
  m_deadText += e.keyLength + e.valueLength;
  m_free.push_back(id);
  --m_count;
  if (m_deadText > 4096 && m_deadText > m_text.size() / 2) CompactText();
  return true;
}

void AddressSet::CompactText() {
  std::vector<char> text;
  text.reserve(m_text.size() - m_deadText);
  for (unsigned bucket = 0; bucket < kBuckets; ++bucket) {
    for (std::uint32_t id = m_heads[bucket]; id != kNil; id = m_entries[id].next) {
      Entry& e = m_entries[id];
      const std::uint64_t keyOffset = text.size();
      text.insert(text.end(), m_text.begin() + e.keyOffset,
                  m_text.begin() + e.keyOffset + e.keyLength);
      const std::uint64_t valueOffset = text.size();
      text.insert(text.end(), m_text.begin() + e.valueOffset,
                  m_text.begin() + e.valueOffset + e.valueLength);
      e.keyOffset = keyOffset;
      e.valueOffset = valueOffset;
    }
  }
  m_text.swap(text);
  m_deadText = 0;
}

}  // namespace zofrin
