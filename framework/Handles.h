// Owners of system handles: each closes what it holds when it goes, on every path, exceptions
// included. One template for the handles closed by one call; small classes for the pairs that
// must be undone together (a window's device context, an object selected into a context); and
// TScopeExit for a clean-up that is no handle.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <unknwn.h>

#include <utility>

namespace ruk {

// Owns one handle of the kind Traits describes: Traits::Empty() is the value that holds
// nothing, Traits::Close(h) releases a handle that is not empty.
template <class Traits>
class TScopedHandle {
public:
    using THandleType = typename Traits::THandleType;

    TScopedHandle() = default;
    explicit TScopedHandle(THandleType handle) : FHandle(handle) {}
    ~TScopedHandle() { Reset(); }
    TScopedHandle(const TScopedHandle&) = delete;
    TScopedHandle& operator=(const TScopedHandle&) = delete;
    TScopedHandle(TScopedHandle&& other) noexcept : FHandle(other.Release()) {}
    TScopedHandle& operator=(TScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    THandleType Get() const { return FHandle; }
    explicit operator bool() const { return !IsEmpty(FHandle); }
    // Gives the handle away: the owner holds nothing after.
    THandleType Release() { return std::exchange(FHandle, Traits::Empty()); }
    void Reset(THandleType handle = Traits::Empty()) {
        const THandleType old = std::exchange(FHandle, handle);
        if (!IsEmpty(old)) Traits::Close(old);
    }
    // For a call that hands the handle back through a pointer; what was held is closed first.
    THandleType* Receive() {
        Reset();
        return &FHandle;
    }

private:
    static bool IsEmpty(THandleType h) { return h == Traits::Empty() || h == THandleType{}; }
    THandleType FHandle = Traits::Empty();
};

// A handle that is null when there is none, closed by CloseFn.
template <class T, auto CloseFn>
struct TNullHandleTraits {
    using THandleType = T;
    static T Empty() { return nullptr; }
    static void Close(T h) { CloseFn(h); }
};

// A file as CreateFile opens it (INVALID_HANDLE_VALUE when it failed).
struct TFileHandleTraits {
    using THandleType = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using TFileHandle = TScopedHandle<TFileHandleTraits>;
// A kernel object whose failed creation is null (events, threads, mutexes).
using TKernelHandle = TScopedHandle<TNullHandleTraits<HANDLE, &CloseHandle>>;
using TRegKey = TScopedHandle<TNullHandleTraits<HKEY, &RegCloseKey>>;
// A module loaded with LoadLibrary.
using TLoadedModule = TScopedHandle<TNullHandleTraits<HMODULE, &FreeLibrary>>;
// A pen, brush, font, bitmap or region the owner made.
template <class T>
using TGdiObject = TScopedHandle<TNullHandleTraits<T, &DeleteObject>>;
// A device context made by CreateCompatibleDC or CreateDC.
using TMemoryDC = TScopedHandle<TNullHandleTraits<HDC, &DeleteDC>>;

// A window's device context (the screen's for a null window), released to that window.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {}
    ~TWindowDC() {
        if (FDC) ReleaseDC(FWindow, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return FDC; }
    explicit operator bool() const { return FDC != nullptr; }

private:
    HWND FWindow;
    HDC FDC;
};

// The context of a WM_PAINT: the paint ends when the owner goes, also when drawing throws, so
// that the window is not asked to paint again and again.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : FWindow(window), FPaint{}, FDC(BeginPaint(window, &FPaint)) {}
    ~TPaintDC() { EndPaint(FWindow, &FPaint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint;
    HDC FDC;
};

// An object selected into a device context for the owner's lifetime; the previous one is put
// back at the end, so that the context never goes or is reused with the object inside.
class TSelectedObject {
public:
    TSelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
    ~TSelectedObject() {
        if (FOld && FOld != HGDI_ERROR) SelectObject(FDC, FOld);
    }
    TSelectedObject(const TSelectedObject&) = delete;
    TSelectedObject& operator=(const TSelectedObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// COM initialised on this thread for the owner's lifetime; uninitialised at the end only when
// this initialisation succeeded (an apartment of another kind refuses it, and stays).
class TComInitialization {
public:
    explicit TComInitialization(DWORD coInit) : FResult(CoInitializeEx(nullptr, coInit)) {}
    ~TComInitialization() {
        if (SUCCEEDED(FResult)) CoUninitialize();
    }
    TComInitialization(const TComInitialization&) = delete;
    TComInitialization& operator=(const TComInitialization&) = delete;
    HRESULT Result() const { return FResult; }

private:
    HRESULT FResult;
};

// One reference to a COM interface.
template <class I>
class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() { Reset(); }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TComPtr& operator=(TComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            FPtr = std::exchange(other.FPtr, nullptr);
        }
        return *this;
    }

    I* Get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    void Reset() {
        if (I* p = std::exchange(FPtr, nullptr)) p->Release();
    }
    // For a call that hands a reference back through a pointer (QueryInterface,
    // CoCreateInstance); what was held is released first.
    void** ReceiveVoid() {
        Reset();
        return reinterpret_cast<void**>(&FPtr);
    }
    I** Receive() {
        Reset();
        return &FPtr;
    }

private:
    I* FPtr = nullptr;
};

// Runs a clean-up when the scope ends, also by an exception: a setting put back, a flag cleared.
template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F onExit) : FOnExit(std::move(onExit)) {}
    ~TScopeExit() { FOnExit(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    F FOnExit;
};

}  // namespace ruk
