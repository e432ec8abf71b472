#include "address/list_ops.h"

#include <vector>

namespace zofrin {

MergeResult MergeAddresses(SortedAddressList& list, AddressSet& set,
                           std::span<const std::string_view> addresses) {
  MergeResult result;
  std::vector<std::string_view> fresh;
  std::string_view lastPresent;
  bool anyPresent = false;
  auto merge = [&](const AddressSet::Probe& probe) {
    const std::string_view address = probe.key;
    if (set.StoreProbed(probe, {})) {
      fresh.push_back(address);
      ++result.fresh;
      return;
    }
    ++result.present;
    anyPresent = true;
    lastPresent = address;
    // Taking the item out and inserting it again leaves it where it was,
    // unselected. An address first met earlier in this call has no item
    // yet: it is among the fresh ones.
    const std::size_t index = list.FindByteExact(address);
    if (index != SortedAddressList::npos) list.SetSel(false, index);
  };
  LookAhead<AddressSet::Probe> ahead;
  for (std::string_view address : addresses) {
    const AddressSet::Probe probe = AddressSet::ProbeOf(address);
    set.Prefetch(probe);
    ahead.Push(probe, merge);
  }
  ahead.Drain(merge);
  list.InsertMany(fresh);
  if (anyPresent) {
    const std::size_t index = list.FindByteExact(lastPresent);
    if (index != SortedAddressList::npos) list.ScrollTo(index);
  }
  return result;
}

std::size_t DeleteSelected(SortedAddressList& list, AddressSet& set) {
  return list.DeleteWhere(true, [&](std::string_view text) { set.Remove(text); });
}

std::size_t CropSelected(SortedAddressList& list, AddressSet& set) {
  return list.DeleteWhere(false, [&](std::string_view text) { set.Remove(text); });
}

void RebuildList(SortedAddressList& list, const AddressSet& set) {
  list.Reset();
  std::vector<std::string_view> keys;
  keys.reserve(set.Count());
  set.ForEach([&](std::string_view key, std::string_view) { keys.push_back(key); });
  list.InsertMany(keys);
}

ListFileError LoadPane(ListPane& pane, const std::string& path) {
  AddressSet loaded;
  ListFileError error = ReadListFile(path, loaded);
  if (!error.Ok()) return error;
  pane.set = std::move(loaded);
  RebuildList(pane.list, pane.set);
  return error;
}

std::size_t RemoveSelected(ListPane& pane) { return DeleteSelected(pane.list, pane.set); }

void RemoveAll(ListPane& pane) {
  pane.list.Reset();
  pane.set.Clear();
}

bool Shift(ListPane& source, ListPane& target) {
  if (source.list.Empty()) return false;
  RemoveAll(target);
  target.set.Reserve(source.set.Count(), 0);
  source.set.ForEach([&](std::string_view key, std::string_view) { target.set.Store(key, {}); });
  RebuildList(target.list, target.set);
  RemoveAll(source);
  return true;
}

void UniteSets(const AddressSet& first, const AddressSet& second, AddressSet& result) {
  if (first.Empty() && second.Empty()) return;
  result.Clear();
  result.Reserve(first.Count() + second.Count(), first.TextBytes() + second.TextBytes());
  // Storing a key already there keeps its place, so every key of the
  // second set can simply be stored.
  LookAhead<AddressSet::Probe> ahead;
  auto store = [&](const AddressSet::Probe& probe) { result.StoreProbed(probe, {}); };
  auto next = [&](std::string_view key, std::string_view) {
    const AddressSet::Probe probe = AddressSet::ProbeOf(key);
    result.Prefetch(probe);
    ahead.Push(probe, store);
  };
  first.ForEach(next);
  second.ForEach(next);
  ahead.Drain(store);
}

namespace {

// The keys of one bucket of `from`, front to back, that `other` holds (with
// `held`) or lacks (without).
std::vector<std::string_view> FilterBucket(const AddressSet& from, unsigned bucket,
                                           const AddressSet& other, bool held) {
  std::vector<std::string_view> kept;
  LookAhead<AddressSet::Probe> ahead;
  auto check = [&](const AddressSet::Probe& probe) {
    if (other.ContainsProbed(probe) == held) kept.push_back(probe.key);
  };
  from.ForEachInBucket(bucket, [&](std::string_view key, std::string_view) {
    const AddressSet::Probe probe = AddressSet::ProbeOf(key);
    other.Prefetch(probe);
    ahead.Push(probe, check);
  });
  ahead.Drain(check);
  return kept;
}

// Appends `keys` in reverse, each with an empty value.
void AppendReversed(std::string& out, const std::vector<std::string_view>& keys) {
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    AppendListString(out, *key);
    AppendListString(out, {});
  }
}

std::size_t TextBytes(const std::vector<std::string_view>& keys) {
  std::size_t bytes = 0;
  for (std::string_view key : keys) bytes += key.size();
  return bytes;
}

// The bytes of the set made by storing, in the enumeration order of `from`,
// each of its keys that `other` holds (or lacks): new keys go to the front
// of their chains, so each bucket holds its kept keys in reverse.
std::string FilteredListBytes(const AddressSet& from, const AddressSet& other, bool held) {
  std::vector<std::string_view> kept[AddressSet::kBuckets];
  std::size_t count = 0;
  std::size_t bytes = 0;
  for (unsigned bucket = 0; bucket < AddressSet::kBuckets; ++bucket) {
    kept[bucket] = FilterBucket(from, bucket, other, held);
    count += kept[bucket].size();
    bytes += TextBytes(kept[bucket]);
  }
  std::string out;
  out.reserve(6 + 14 * count + bytes);
  AppendListCount(out, count);
  for (const auto& keys : kept) AppendReversed(out, keys);
  return out;
}

}  // namespace

std::string UnionListBytes(const AddressSet& first, const AddressSet& second) {
  // In each bucket of the union, the second set's new keys stand before the
  // first set's, each group in the reverse of the order it was stored in.
  std::vector<std::string_view> fresh[AddressSet::kBuckets];
  std::size_t count = first.Count();
  std::size_t bytes = first.TextBytes();
  for (unsigned bucket = 0; bucket < AddressSet::kBuckets; ++bucket) {
    fresh[bucket] = FilterBucket(second, bucket, first, /*held=*/false);
    count += fresh[bucket].size();
    bytes += TextBytes(fresh[bucket]);
  }
  std::string out;
  out.reserve(6 + 14 * count + bytes);
  AppendListCount(out, count);
  std::vector<std::string_view> chain;
  for (unsigned bucket = 0; bucket < AddressSet::kBuckets; ++bucket) {
    AppendReversed(out, fresh[bucket]);
    chain.clear();
    first.ForEachInBucket(bucket, [&](std::string_view key, std::string_view) {
      chain.push_back(key);
    });
    AppendReversed(out, chain);
  }
  return out;
}

std::string DifferenceListBytes(const AddressSet& first, const AddressSet& second) {
  return FilteredListBytes(first, second, /*held=*/false);
}

std::string IntersectionListBytes(const AddressSet& first, const AddressSet& second) {
  return FilteredListBytes(second, first, /*held=*/true);
}

void SubtractSets(const AddressSet& first, const AddressSet& second, AddressSet& result) {
  result.Clear();
  // Storing the keys of the first set and then removing those of the second
  // leaves the others in the same order as storing only them.
  LookAhead<AddressSet::Probe> ahead;
  auto keep = [&](const AddressSet::Probe& probe) {
    if (!second.ContainsProbed(probe)) result.StoreProbed(probe, {});
  };
  first.ForEach([&](std::string_view key, std::string_view) {
    const AddressSet::Probe probe = AddressSet::ProbeOf(key);
    second.Prefetch(probe);
    result.Prefetch(probe);
    ahead.Push(probe, keep);
  });
  ahead.Drain(keep);
}

void IntersectSets(const AddressSet& first, const AddressSet& second, AddressSet& result) {
  result.Clear();
  if (first.Empty() || second.Empty()) return;
  LookAhead<AddressSet::Probe> ahead;
  auto keep = [&](const AddressSet::Probe& probe) {
    if (first.ContainsProbed(probe)) result.StoreProbed(probe, {});
  };
  second.ForEach([&](std::string_view key, std::string_view) {
    const AddressSet::Probe probe = AddressSet::ProbeOf(key);
    first.Prefetch(probe);
    result.Prefetch(probe);
    ahead.Push(probe, keep);
  });
  ahead.Drain(keep);
}

void Union(const ListPane& first, const ListPane& second, ListPane& result) {
  if (first.list.Empty() && second.list.Empty()) return;
  UniteSets(first.set, second.set, result.set);
  RebuildList(result.list, result.set);
}

void Difference(const ListPane& first, const ListPane& second, ListPane& result) {
  SubtractSets(first.set, second.set, result.set);
  RebuildList(result.list, result.set);
}

void Intersection(const ListPane& first, const ListPane& second, ListPane& result) {
  IntersectSets(first.set, second.set, result.set);
  RebuildList(result.list, result.set);
}

SplitResult Split(const ListPane& source, ListPane& above, ListPane& below) {
  if (source.list.Empty()) return SplitResult::kEmpty;
  if (source.list.SelectedCount() != 1) return SplitResult::kNeedOneSelected;
  RemoveAll(above);
  RemoveAll(below);
  const std::size_t k = source.list.CurrentItem();
  std::vector<std::string_view> top, bottom;
  top.reserve(k);
  bottom.reserve(source.list.Count() - k);
  for (std::size_t i = 0; i < source.list.Count(); ++i) {
    const std::string_view text = source.list.Text(i);
    (i < k ? top : bottom).push_back(text);
    (i < k ? above : below).set.Store(text, {});
  }
  above.list.InsertMany(top);
  below.list.InsertMany(bottom);
  return SplitResult::kDone;
}

}  // namespace zofrin
