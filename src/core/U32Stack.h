#pragma once
// A growable stack of unsigned 32-bit values; the capacity doubles when it is full.
#include <cstdint>
#include <memory>
#include <utility>

class U32Stack {
public:
    // No capacity until the first push.
    U32Stack() = default;
    // The capacity is at least 1.
    explicit U32Stack(int32_t capacity);
    U32Stack(const U32Stack&) = delete;
    U32Stack& operator=(const U32Stack&) = delete;
    // Takes the other's values and array; the other is left empty with no capacity.
    U32Stack(U32Stack&& other) noexcept { *this = std::move(other); }
    U32Stack& operator=(U32Stack&& other) noexcept {
        if (this == &other) return *this;
        data = std::move(other.data);
        capacity = other.capacity;
        count = other.count;
        other.capacity = 0;
        other.count = 0;
        return *this;
    }
    virtual ~U32Stack();

    // Inline: the path search pushes and pops every cell it opens.
    void Push(uint32_t value) {
        if (count >= capacity && !Grow()) return;
        data[count++] = value;
    }
    // The top value, or 0 when empty.
    uint32_t Pop() { return count > 0 ? data[--count] : 0; }
    // Grows to n zeroed slots, keeping the values; never shrinks.
    void Reserve(int32_t n);
    // Releases the array; the stack is then empty with no capacity.
    void Free();
    // Forgets the values, keeps the array.
    void Clear() { count = 0; }

    int32_t Count() const { return count; }
    int32_t Capacity() const { return capacity; }
    bool IsEmpty() const { return count == 0; }

private:
    // Doubles the capacity; false when it cannot grow past the count.
    bool Grow();

    std::unique_ptr<uint32_t[]> data;
    int32_t capacity = 0;
    int32_t count = 0;
};
