#include "monitor/win32/wmi_properties.h"
#include "monitor/win32/wmi_holders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>

namespace wmi {

namespace {

// UTF-16 to the ANSI code page; characters without a mapping become the code
// page's default character. The text ends at its first NUL, as every narrow
// string in the plug-in does. False when the conversion failed.
bool narrow(BSTR text, std::string& out) {
    if (text == nullptr) {
        out.clear();
        return true;
    }
    const size_t length = wcsnlen(text, SysStringLen(text));
    if (length == 0) {
        out.clear();
        return true;
    }
    if (length > static_cast<size_t>(INT_MAX))
        return false;
    const int wide_length = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_ACP, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    std::string converted(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, wide_length, &converted[0], size, nullptr, nullptr) != size)
        return false;
    out.swap(converted);
    return true;
}

// The value's text: the value itself when it is a BSTR, otherwise its
// conversion, kept in `converted`. False when the value has no text form.
bool textOf(Variant& value, Variant& converted, BSTR& text) {
    if (V_VT(value.get()) == VT_BSTR) {
        text = V_BSTR(value.get());
        return true;
    }
    if (FAILED(VariantChangeType(converted.get(), value.get(), 0, VT_BSTR)))
        return false;
    text = V_BSTR(converted.get());
    return true;
}

// Reads an unsigned decimal as "%lu" does (leading blanks and one sign skipped,
// digits up to the first other character, a minus sign wrapping modulo 2^32),
// but a value beyond 32 bits, which "%lu" leaves undefined, is no number.
bool parseUnsigned32(const char* text, uint32_t& number) {
    static_assert(sizeof(unsigned long) == 4, "unsigned long is the 32-bit unsigned of Windows");
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (end == text || errno == ERANGE)
        return false;
    number = static_cast<uint32_t>(parsed);
    return true;
}

// Fetches the property: 0 with the value, 1 failed, 2 NULL.
int fetch(IWbemClassObject* row, const wchar_t* name, Variant& value) {
    if (row == nullptr || name == nullptr)
        return 1;
    if (FAILED(row->Get(name, 0, value.get(), nullptr, nullptr)))
        return 1;
    if (V_VT(&value.value()) == VT_NULL)
        return 2;
    return 0;
}

// Fetches the property as narrow text: 0 read, 1 failed, 2 NULL, or
// `no_text_code` when the value has no text form or cannot be narrowed.
int fetchText(IWbemClassObject* row, const wchar_t* name, std::string& out, int no_text_code) {
    Variant fetched;
    const int code = fetch(row, name, fetched);
    if (code != 0)
        return code;
    Variant converted;
    BSTR text = nullptr;
    if (!textOf(fetched, converted, text) || !narrow(text, out))
        return no_text_code;
    return 0;
}

} // namespace

int readStringProperty(IWbemClassObject* row, const wchar_t* name, std::string& value) noexcept {
    try {
        std::string narrowed;
        const int code = fetchText(row, name, narrowed, 1);
        if (code != 0)
            return code;
        value.swap(narrowed);
        return 0;
    } catch (...) {
        // Out of memory while converting: the field keeps its value.
        return 1;
    }
}

int readNumberProperty(IWbemClassObject* row, const wchar_t* name, uint32_t& value) noexcept {
    try {
        std::string digits;
        const int code = fetchText(row, name, digits, 3);
        if (code != 0)
            return code;
        uint32_t number = 0;
        if (!parseUnsigned32(digits.c_str(), number))
            return 3;
        value = number;
        return 0;
    } catch (...) {
        return 1;
    }
}

} // namespace wmi
