#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>

namespace pm32::platform {

// A 32-bit handle as the toolkit's callers see it; 0 is never a live handle.
using Handle32 = std::uint32_t;

// Hands out the next process-wide handle id. All registries draw from the same
// sequence, so a handle of one kind is never taken for a live handle of another.
Handle32 nextHandleId();

// Maps live 32-bit handles to the objects behind them. A stale or foreign
// handle simply is not found, so it is never dereferenced.
template <typename T>
class HandleRegistry {
  public:
    // Takes ownership of value and returns its new handle.
    Handle32 add(T value) {
        Handle32 id = nextHandleId();
        while (entries_.contains(id)) id = nextHandleId();
        entries_.emplace(id, std::move(value));
        return id;
    }

    T* find(Handle32 handle) {
        if (handle == 0) return nullptr;
        auto it = entries_.find(handle);
        return it == entries_.end() ? nullptr : &it->second;
    }

    bool remove(Handle32 handle) { return entries_.erase(handle) == 1; }

    std::size_t size() const { return entries_.size(); }

  private:
    std::unordered_map<Handle32, T> entries_;
};

}  // namespace pm32::platform
