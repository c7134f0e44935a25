// COM for the one thread: the apartment as a scoped object, interfaces
// released by their owner.
#pragma once

#include "platform/system_function.h"

#include <objbase.h>

// COM's library is loaded only by a run that makes shell links.
inline HRESULT ComCall(const char* name)
{
    auto call = SystemFunction<HRESULT(WINAPI*)(LPVOID)>("ole32.dll", name);
    return call ? call(nullptr) : E_NOTIMPL;
}

inline HRESULT ComCreateInstance(REFCLSID classId, REFIID interfaceId, void** out)
{
    using Create = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    static const auto create = SystemFunction<Create>("ole32.dll", "CoCreateInstance");
    return create ? create(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, out) : E_NOTIMPL;
}

// CoInitialize for the lifetime of the object; CoUninitialize only when
// that call counted (it did when COM was already initialised, too).
class CComInit {
public:
    CComInit() : m_result(ComCall("CoInitialize")) {}
    ~CComInit()
    {
        if (SUCCEEDED(m_result)) {
            using Uninitialize = void(WINAPI*)();
            if (auto uninitialize = SystemFunction<Uninitialize>("ole32.dll", "CoUninitialize"))
                uninitialize();
        }
    }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;

    bool ok() const { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};

// Owns one reference to an interface.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    void reset()
    {
        if (m_pointer) {
            m_pointer->Release();
            m_pointer = nullptr;
        }
    }
    T* get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For the out-parameter of CoCreateInstance and QueryInterface.
    void** out()
    {
        reset();
        return reinterpret_cast<void**>(&m_pointer);
    }

private:
    T* m_pointer = nullptr;
};
