#include "common/number_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace quelm {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Every power of ten up to 1e22 is exact in a double, so one multiplication or division by
// one of them rounds only once.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPow10 = 22;

constexpr std::uint64_t kPow10Int[] = {1ULL,
                                       10ULL,
                                       100ULL,
                                       1000ULL,
                                       10000ULL,
                                       100000ULL,
                                       1000000ULL,
                                       10000000ULL,
                                       100000000ULL,
                                       1000000000ULL,
                                       10000000000ULL,
                                       100000000000ULL,
                                       1000000000000ULL,
                                       10000000000000ULL,
                                       100000000000000ULL,
                                       1000000000000000ULL};
// Up to 15 digits the scaled value stays below 2^53, where doubles hold every integer.
constexpr int kMaxFastDigits = 15;
constexpr int kMaxDigits = 17;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the `count` lowest decimal digits of `value` at out[0..count), zero-padded.
void WriteFixedDigits(char* out, std::uint64_t value, int count) {
    int at = count;
    while (at >= 2) {
        const auto pair = static_cast<unsigned>(value % 100) * 2;
        value /= 100;
        out[--at] = kDigitPairs[pair + 1];
        out[--at] = kDigitPairs[pair];
    }
    if (at == 1) {
        out[0] = static_cast<char>('0' + value % 10);
    }
}

// The significant digits (no trailing zeros, count >= 1) and the decimal exponent of the
// first digit, after rounding to the requested number of digits.
struct Decimal {
    char digits[kMaxDigits + 3];
    int count;
    int exponent;
};

double ScaleByPow10(double a, int scale) {
    return scale >= 0 ? a * kPow10[scale] : a / kPow10[-scale];
}

// Rounds a positive finite double to `precision` significant digits. Gives up (false) where a
// single-rounding product cannot decide the result: exponents outside the exact power table,
// subnormals, and products that land exactly on a half-way point.
bool FastDecimal(double a, int precision, Decimal& out) {
    if (precision > kMaxFastDigits) {
        return false;
    }
    const auto biased = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF);
    if (biased == 0) {
        return false;
    }
    // a lies in [2^e2, 2^(e2+1)); floor(e2 * log10(2)) is the decimal exponent or one below it.
    const int e2 = biased - 1023;
    int exponent = (e2 * 78913) >> 18;
    int scale = precision - 1 - exponent;
    if (scale < -kMaxExactPow10 || scale > kMaxExactPow10) {
        return false;
    }
    double scaled = ScaleByPow10(a, scale);
    if (scaled >= kPow10[precision]) {
        ++exponent;
        --scale;
        if (scale < -kMaxExactPow10) {
            return false;
        }
        scaled = ScaleByPow10(a, scale);
    }
    // Below 2^53 the truncation is exact and so is the fraction.
    auto whole = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    // The product is the double nearest the exact value, and below 2^52 every half-integer is a
    // double, so rounding can never carry the product across one: a product off a half-way
    // point lies on the same side as the exact value. Only a product exactly on it is unclear.
    if (fraction == 0.5) {
        return false;
    }
    if (fraction > 0.5) {
        ++whole;
    }
    if (whole == kPow10Int[precision]) {
        whole = kPow10Int[precision - 1];
        ++exponent;
    }
    if (whole < kPow10Int[precision - 1] || whole >= kPow10Int[precision]) {
        return false;
    }
    WriteFixedDigits(out.digits, whole, precision);
    out.count = precision;
    out.exponent = exponent;
    return true;
}

// Digits and exponent of the standard library's scientific text ("1.25e+02").
void ReadScientific(const char* text, const char* end, Decimal& out) {
    const char* p = text;
    int count = 0;
    while (p < end && *p != 'e') {
        if (IsDigit(*p)) {
            out.digits[count++] = *p;
        }
        ++p;
    }
    int exponent = 0;
    if (p < end) {
        ++p;  // 'e'
        const bool negative = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) {
            ++p;
        }
        std::from_chars(p, end, exponent);
        if (negative) {
            exponent = -exponent;
        }
    }
    out.count = count;
    out.exponent = exponent;
}

// The exact path: the standard library rounds the binary value correctly (ties to even).
void ExactDecimal(double a, int precision, Decimal& out) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, precision - 1);
    ReadScientific(text, result.ptr, out);
}

// The fewest digits that read back as `a` (at most 17).
void ShortestDecimal(double a, Decimal& out) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific);
    ReadScientific(text, result.ptr, out);
}

char* CopyChars(char* out, const char* from, int count) {
    std::memcpy(out, from, static_cast<std::size_t>(count));
    return out + count;
}

char* FillZeros(char* out, int count) {
    std::memset(out, '0', static_cast<std::size_t>(count));
    return out + count;
}

enum class Layout { General, Plain };

// Lays the digits out in the general form: plain where the exponent is in [-4, precision),
// otherwise mantissa and "E+XX". The plain layout never uses the exponent form.
char* WriteDecimal(char* out, bool negative, Decimal& d, int precision,
                   Layout layout = Layout::General) {
    while (d.count > 1 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
    if (negative) {
        *out++ = '-';
    }
    const int x = d.exponent;
    if (layout == Layout::General && (x < -4 || x >= precision)) {
        *out++ = d.digits[0];
        if (d.count > 1) {
            *out++ = '.';
            out = CopyChars(out, d.digits + 1, d.count - 1);
        }
        *out++ = 'E';
        *out++ = x < 0 ? '-' : '+';
        int e = x < 0 ? -x : x;
        if (e >= 100) {
            *out++ = static_cast<char>('0' + e / 100);
            e %= 100;
        }
        *out++ = kDigitPairs[e * 2];
        *out++ = kDigitPairs[e * 2 + 1];
    } else if (x >= 0) {
        const int whole = x + 1;
        if (d.count <= whole) {
            out = CopyChars(out, d.digits, d.count);
            out = FillZeros(out, whole - d.count);
        } else {
            out = CopyChars(out, d.digits, whole);
            *out++ = '.';
            out = CopyChars(out, d.digits + whole, d.count - whole);
        }
    } else {
        *out++ = '.';
        out = FillZeros(out, -x - 1);
        out = CopyChars(out, d.digits, d.count);
    }
    return out;
}

}  // namespace

double LenientNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Digits and one point only: "1e3" reads as 1, as the settings never hold exponents.
    const std::size_t start = i;
    bool point = false;
    bool anyDigit = false;
    bool wholeNonZero = false;  // a non-zero digit before the point: the value is at least 1
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            wholeNonZero = wholeNonZero || (!point && c != '0');
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::fixed);
    (void)end;
    if (ec == std::errc::result_out_of_range || !std::isfinite(value)) {
        // Hundreds of digits: saturate rather than hand infinity to a caller.
        value = wholeNonZero ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc{}) {
        value = 0;
    }
    if (value == 0) {
        return 0;  // never -0
    }
    return negative ? -value : value;
}

char* AppendGeneralNumber(char* out, double value, int digits) {
    const int precision = std::clamp(digits, 1, kMaxDigits);
    if (std::isnan(value)) {
        return CopyChars(out, "NaN", 3);
    }
    if (std::isinf(value)) {
        return value < 0 ? CopyChars(out, "-Inf", 4) : CopyChars(out, "Inf", 3);
    }
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    const bool negative = value < 0;
    const double magnitude = negative ? -value : value;
    Decimal d;
    if (!FastDecimal(magnitude, precision, d)) {
        ExactDecimal(magnitude, precision, d);
    }
    return WriteDecimal(out, negative, d, precision);
}

std::string GeneralNumber(double value, int digits) {
    char text[kMaxGeneralNumberChars];
    char* end = AppendGeneralNumber(text, value, digits);
    return std::string(text, static_cast<std::size_t>(end - text));
}

std::string PlainNumber(double value) {
    if (!std::isfinite(value)) {
        return GeneralNumber(value, 1);  // "NaN", "Inf", "-Inf"
    }
    if (value == 0) {
        return "0";  // never "-0"
    }
    const bool negative = value < 0;
    Decimal d;
    ShortestDecimal(negative ? -value : value, d);
    // The longest plain texts: a sign and 309 whole digits, or a sign, a point, 323 zeros and
    // 17 digits.
    char text[400];
    char* end = WriteDecimal(text, negative, d, kMaxDigits, Layout::Plain);
    return std::string(text, static_cast<std::size_t>(end - text));
}

std::string PrintNumber(double value) {
    std::string text = PlainNumber(value);
    if (!(value < 0)) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

}  // namespace quelm
