#pragma once
// An owning COM interface pointer: releases what it holds, once.
#include <objbase.h>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference on p.
    explicit ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    ~ComPtr() { Reset(); }

    // Adopts a reference the caller already owns (no AddRef).
    static ComPtr Attach(T* p) { ComPtr r; r.m_p = p; return r; }
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset() { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: drops what is held first.
    T** Put() { Reset(); return &m_p; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> r;
        if (m_p) m_p->QueryInterface(iid, r.PutVoid());
        return r;
    }

private:
    T* m_p = nullptr;
};
