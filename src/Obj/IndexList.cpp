#include "IndexList.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

CIndexList::CIndexList(const CIndexList& other) : m_storage() {
    setCapacity(other.m_size);
    std::copy(other.begin(), other.end(), data());
    m_size = other.m_size;
}

CIndexList::CIndexList(CIndexList&& other) noexcept
    : m_storage(other.m_storage), m_size(other.m_size), m_capacity(other.m_capacity) {
    other.m_size = 0;
    other.m_capacity = 0;
}

CIndexList& CIndexList::operator=(const CIndexList& other) {
    if (this != &other) {
        // Like a vector: new storage of exactly the size only when the
        // present one is too small.
        if (other.m_size > m_capacity) {
            CIndexList copy(other);
            swap(copy);
        } else {
            std::copy(other.begin(), other.end(), data());
            m_size = other.m_size;
        }
    }
    return *this;
}

CIndexList& CIndexList::operator=(CIndexList&& other) noexcept {
    if (this != &other) {
        CIndexList taken(std::move(other));
        swap(taken);
    }
    return *this;
}

CIndexList::~CIndexList() {
    if (onHeap()) {
        delete[] m_storage.heap;
    }
}

void CIndexList::assign(std::size_t n, int value) {
    if (n > m_capacity) {
        CIndexList fresh;
        fresh.setCapacity(n);
        swap(fresh);
    }
    std::fill_n(data(), n, value);
    m_size = static_cast<std::uint32_t>(n);
}

void CIndexList::shrink_to_fit() {
    if (m_capacity != m_size) {
        setCapacity(m_size);
    }
}

void CIndexList::swap(CIndexList& other) noexcept {
    std::swap(m_storage, other.m_storage);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
}

void CIndexList::setCapacity(std::size_t capacity) {
    if (capacity > std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc();
    }
    if (capacity <= INLINE_SIZE && !onHeap()) {
        m_capacity = static_cast<std::uint32_t>(capacity);  // stays inside
        return;
    }
    Storage storage{};
    if (capacity > INLINE_SIZE) {
        storage.heap = new int[capacity];
    }
    int* const to = capacity > INLINE_SIZE ? storage.heap : storage.inside;
    std::copy(begin(), end(), to);
    if (onHeap()) {
        delete[] m_storage.heap;
    }
    m_storage = storage;
    m_capacity = static_cast<std::uint32_t>(capacity);
}

bool operator==(const CIndexList& a, const CIndexList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator!=(const CIndexList& a, const CIndexList& b) { return !(a == b); }

bool operator==(const CIndexList& a, const std::vector<int>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const std::vector<int>& a, const CIndexList& b) { return b == a; }
