#pragma once
#include <atomic>

// A value shared between the protocol, search and polling threads. Every access is a relaxed
// atomic load or store: each field has one writer at a time and carries no ordering of its own
// (the threads meet through joins), but a plain shared int would be a data race.
template <typename T>
class Relaxed {
public:
    constexpr Relaxed(T v = T{}) noexcept : value_(v) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    operator T() const noexcept { return value_.load(std::memory_order_relaxed); }
    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    Relaxed& operator=(T v) noexcept {
        value_.store(v, std::memory_order_relaxed);
        return *this;
    }
    // Single-writer increments: a load and a store, not a locked read-modify-write.
    Relaxed& operator+=(T d) noexcept { return *this = load() + d; }
    Relaxed& operator-=(T d) noexcept { return *this = load() - d; }
    Relaxed& operator++() noexcept { return *this = load() + 1; }

private:
    std::atomic<T> value_;
};
