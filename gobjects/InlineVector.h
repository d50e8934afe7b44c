// A vector of plain values that keeps its first N elements inside itself and goes to the heap only beyond them.
// Objects hold a few points and usually one label: in std::vector / std::list each of those took an allocation of
// its own, and reading an overlay of 100,000 measurements spent more in the allocator than in parsing. Only what
// the objects use is offered; elements must be trivially copyable (they are moved with memcpy).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

template <class T, size_t N>
class InlineVector
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    static_assert(N > 0);
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    InlineVector() = default;
    InlineVector(const InlineVector& other) { CopyFrom(other); }
    InlineVector(InlineVector&& other) noexcept { MoveFrom(other); }
    ~InlineVector() { Release(); }

    InlineVector& operator=(const InlineVector& other)
    {
        if (this != &other) {
            m_size = 0;
            CopyFrom(other);
        }
        return *this;
    }
    InlineVector& operator=(InlineVector&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_data = Inline();
            m_size = 0;
            m_capacity = N;
            MoveFrom(other);
        }
        return *this;
    }
    void swap(InlineVector& other) noexcept
    {
        InlineVector taken(std::move(other));
        other = std::move(*this);
        *this = std::move(taken);
    }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    size_t capacity() const { return m_capacity; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }
    T& front() { return m_data[0]; }
    const T& front() const { return m_data[0]; }
    T& back() { return m_data[m_size - 1]; }
    const T& back() const { return m_data[m_size - 1]; }
    iterator begin() { return m_data; }
    iterator end() { return m_data + m_size; }
    const_iterator begin() const { return m_data; }
    const_iterator end() const { return m_data + m_size; }

    void clear() { m_size = 0; }
    void reserve(size_t capacity)
    {
        if (capacity > m_capacity)
            Grow(capacity);
    }
    void push_back(const T& value)
    {
        if (m_size == m_capacity) {
            const T copy = value;  // value may lie in the storage that growing frees
            Grow(std::max(2 * m_capacity, m_size + 1));
            m_data[m_size++] = copy;
            return;
        }
        m_data[m_size++] = value;
    }
    void resize(size_t size, const T& value = T{})
    {
        if (size > m_size) {
            const T copy = value;
            reserve(size);
            std::fill(m_data + m_size, m_data + size, copy);
        }
        m_size = size;
    }
    void assign(size_t size, const T& value)
    {
        const T copy = value;
        m_size = 0;
        resize(size, copy);
    }
    void assign(const T* first, const T* last)
    {
        const size_t size = static_cast<size_t>(last - first);
        m_size = 0;
        reserve(size);
        if (size > 0)
            std::memmove(m_data, first, size * sizeof(T));
        m_size = size;
    }

private:
    T* Inline() { return reinterpret_cast<T*>(m_inline); }
    bool OnHeap() const { return m_capacity > N; }
    void Release()
    {
        if (OnHeap())
            ::operator delete(m_data);
    }
    void Grow(size_t capacity)
    {
        T* grown = static_cast<T*>(::operator new(capacity * sizeof(T)));
        if (m_size > 0)
            std::memcpy(grown, m_data, m_size * sizeof(T));
        Release();
        m_data = grown;
        m_capacity = capacity;
    }
    // Into an empty vector.
    void CopyFrom(const InlineVector& other)
    {
        reserve(other.m_size);
        if (other.m_size > 0)
            std::memcpy(m_data, other.m_data, other.m_size * sizeof(T));
        m_size = other.m_size;
    }
    // Into an empty vector on inline storage; leaves other empty on its inline storage.
    void MoveFrom(InlineVector& other)
    {
        if (other.OnHeap()) {
            m_data = other.m_data;
            m_capacity = other.m_capacity;
            other.m_data = other.Inline();
            other.m_capacity = N;
        } else if (other.m_size > 0) {
            std::memcpy(m_data, other.m_data, other.m_size * sizeof(T));
        }
        m_size = other.m_size;
        other.m_size = 0;
    }

    T* m_data = Inline();
    size_t m_size = 0;
    size_t m_capacity = N;
    alignas(T) unsigned char m_inline[N * sizeof(T)];
};
