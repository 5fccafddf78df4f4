#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The index list of one face corner kind: the operations of std::vector<int>
// that the mesh library and its users need, in 24 bytes like the vector, but
// with up to four indices stored inside the object instead of on the heap,
// so a triangle or a quad costs no allocation.
//
// capacity() follows std::vector exactly (a reserve gives what was asked, a
// full list grows by doubling, a copy holds just its size, a move takes the
// capacity along), because the mesh's byte figures are logged and must not
// depend on where the indices live. Up to four of them live inside.
class CIndexList {
public:
    typedef int value_type;
    typedef std::size_t size_type;
    typedef int& reference;
    typedef const int& const_reference;
    typedef int* iterator;
    typedef const int* const_iterator;

    CIndexList() noexcept : m_storage() {}
    CIndexList(const CIndexList& other);
    CIndexList(CIndexList&& other) noexcept;
    CIndexList& operator=(const CIndexList& other);
    CIndexList& operator=(CIndexList&& other) noexcept;
    ~CIndexList();

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    int* data() { return onHeap() ? m_storage.heap : m_storage.inside; }
    const int* data() const { return onHeap() ? m_storage.heap : m_storage.inside; }
    int& operator[](std::size_t i) { return data()[i]; }
    const int& operator[](std::size_t i) const { return data()[i]; }
    int* begin() { return data(); }
    int* end() { return data() + m_size; }
    const int* begin() const { return data(); }
    const int* end() const { return data() + m_size; }

    void push_back(int value) {
        if (m_size == m_capacity) grow(m_size + (m_size == 0 ? 1 : m_size));
        data()[m_size++] = value;
    }
    void pop_back() { --m_size; }
    void clear() { m_size = 0; }
    void reserve(std::size_t capacity) {
        if (capacity > m_capacity) grow(capacity);
    }
    // n copies of value; the capacity grows to exactly n only when too small.
    void assign(std::size_t n, int value);
    void shrink_to_fit();
    void swap(CIndexList& other) noexcept;

private:
    static constexpr std::uint32_t INLINE_SIZE = 4;

    bool onHeap() const { return m_capacity > INLINE_SIZE; }
    void grow(std::size_t capacity) { setCapacity(capacity); }
    // Moves the indices to storage for exactly capacity of them (at least
    // the size).
    void setCapacity(std::size_t capacity);

    union Storage {
        int inside[INLINE_SIZE];  // while the capacity is at most INLINE_SIZE
        int* heap;                // otherwise: capacity ints
    } m_storage;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

bool operator==(const CIndexList& a, const CIndexList& b);
bool operator!=(const CIndexList& a, const CIndexList& b);
// Against a vector, so that callers may compare with literal lists.
bool operator==(const CIndexList& a, const std::vector<int>& b);
bool operator==(const std::vector<int>& a, const CIndexList& b);
