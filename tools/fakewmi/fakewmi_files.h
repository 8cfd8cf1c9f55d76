#pragma once
// Names shared by the fake WMI provider and the tests that drive it: the
// environment variable that names the data file, and the two files kept next
// to it (the query counter and the call log).

namespace fakewmi {

// Holds the path of the data file. Unset: the fake hands every request to
// Wine's own WMI instead.
constexpr char kFileVariable[] = "TARNWICK_FAKEWMI_FILE";
constexpr wchar_t kFileVariableW[] = L"TARNWICK_FAKEWMI_FILE";

// "<data file>.count": the number of ExecQuery calls so far, ten decimal digits.
constexpr char kCountSuffix[] = ".count";
constexpr wchar_t kCountSuffixW[] = L".count";

// "<data file>.log": one UTF-8 line per call the fake answered, in call order.
constexpr char kLogSuffix[] = ".log";
constexpr wchar_t kLogSuffixW[] = L".log";

constexpr int kCountDigits = 10;

} // namespace fakewmi
