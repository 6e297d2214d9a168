#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace pm32 {

// Engine operations report a memory shortage as an error number, never as an
// exception: this array is null when it could not be had.
template <typename T>
std::unique_ptr<T[]> AllocateArray(std::size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

}  // namespace pm32
