#include "core/numberformat.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int Significant = 15;

// A positive value rounded to 15 significant digits: digits[0] has the weight 10^exponent.
struct Decimal15 {
    char digits[Significant];
    int exponent;
};

// Splits the scientific text "d.ddd...e+XX" into its digit run and exponent.
void scientificDigits(double a, int precision, char *buffer, std::size_t bufferSize, char *digits, int &exponent)
{
    const auto r = std::to_chars(buffer, buffer + bufferSize, a, std::chars_format::scientific, precision);
    const char *e = std::find(buffer, r.ptr, 'e');
    int n = 0;
    for (const char *p = buffer; p != e; ++p)
        if (*p != '.')
            digits[n++] = *p;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exponent);
}

// Rounds half away from zero at the 16th significant digit. The digits are taken from the exact
// binary value, so 2.675 (stored as 2.67499999999999982...) becomes 2.67500000000000.
Decimal15 roundTo15(double a)
{
    Decimal15 out{};
    char buffer[800];
    char digits[800];
    int exponent = 0;
    // 25 digits settle the 16th one unless they read 5000000000 from there on: only then can a
    // run of nines below have been rounded up into a false half, so the exact expansion decides.
    scientificDigits(a, 24, buffer, sizeof buffer, digits, exponent);
    if (std::memcmp(digits + Significant, "5000000000", 10) == 0)
        scientificDigits(a, 780, buffer, sizeof buffer, digits, exponent);
    std::memcpy(out.digits, digits, Significant);
    out.exponent = exponent;
    if (digits[Significant] >= '5') {
        int i = Significant - 1;
        while (i >= 0 && out.digits[i] == '9')
            out.digits[i--] = '0';
        if (i >= 0) {
            ++out.digits[i];
        } else {
            out.digits[0] = '1';
            ++out.exponent;
        }
    }
    return out;
}

QString scientific(bool negative, const Decimal15 &dec)
{
    int last = Significant - 1;
    while (last > 0 && dec.digits[last] == '0')
        --last;
    QString s;
    if (negative)
        s += QLatin1Char('-');
    s += QLatin1Char(dec.digits[0]);
    if (last > 0) {
        s += QLatin1Char('.');
        s += QLatin1StringView(dec.digits + 1, last);
    }
    s += QStringLiteral("E+") + QString::number(dec.exponent);
    return s;
}

} // namespace

QString F(double v, int d)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    d = std::clamp(d, 0, 18);
    const bool negative = std::signbit(v);
    const double a = std::fabs(v);

    Decimal15 dec{};
    if (a == 0.0) {
        std::memset(dec.digits, '0', Significant);
        dec.exponent = 0;
    } else {
        dec = roundTo15(a);
    }
    if (dec.exponent >= Significant)
        return scientific(negative, dec);

    // digit(w) is the decimal digit of weight 10^w of the 15-digit value.
    auto digit = [&dec](int w) {
        const int i = dec.exponent - w;
        return i >= 0 && i < Significant ? dec.digits[i] : '0';
    };
    // At most 15 integer digits, a sign, a point and 18 decimals, plus a carry digit.
    char text[40];
    int n = 0;
    for (int w = std::max(dec.exponent, 0); w >= -d; --w)
        text[n++] = digit(w);
    // Half away from zero on the decimal value: 0.125 with two decimals gives 0.13.
    if (digit(-d - 1) >= '5') {
        int i = n - 1;
        while (i >= 0 && text[i] == '9')
            text[i--] = '0';
        if (i >= 0) {
            ++text[i];
        } else {
            std::memmove(text + 1, text, static_cast<std::size_t>(n));
            text[0] = '1';
            ++n;
        }
    }
    const bool zero = std::all_of(text, text + n, [](char c) { return c == '0'; });

    // Built in one buffer: the results list formats thousands of numbers per repaint.
    char out[44];
    int len = 0;
    // A value that rounds to zero is shown as plain zero, never as "-0.00".
    if (negative && !zero)
        out[len++] = '-';
    std::memcpy(out + len, text, static_cast<std::size_t>(n - d));
    len += n - d;
    if (d > 0) {
        out[len++] = '.';
        std::memcpy(out + len, text + n - d, static_cast<std::size_t>(d));
        len += d;
    }
    return QString::fromLatin1(out, len);
}

bool parseNumber(const QString &text, double &value)
{
    QLocale c = QLocale::c();
    // "2,5" typed by habit must fail rather than read as 25.
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double parsed = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
