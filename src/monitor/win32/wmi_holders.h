#pragma once
// Owners for the COM references, strings and variants that the WMI client
// handles, each released exactly once when its scope ends.

#include <windows.h>

#include <ole2.h>

namespace wmi {

template <class Interface> class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    // For a call that hands out a reference; whatever was held is released first.
    Interface** put() {
        reset();
        return &object_;
    }
    // Gives the reference to the caller.
    Interface* release() {
        Interface* object = object_;
        object_ = nullptr;
        return object;
    }
    void reset() {
        if (object_ != nullptr)
            object_->Release();
        object_ = nullptr;
    }

private:
    Interface* object_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return text_; }

private:
    BSTR text_;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

} // namespace wmi
