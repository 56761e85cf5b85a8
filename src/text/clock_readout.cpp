#include "text/clock_readout.h"

#include <cstddef>

namespace {

// Appends into a fixed buffer, always leaving it terminated; what does not fit
// is dropped. Runs every frame, so it formats by hand: no locale, no heap.
struct BoundedText {
    char* text;
    std::size_t size;  // including the terminating NUL
    std::size_t length;

    void Append(const char* piece) {
        while (*piece != '\0' && length + 1 < size) text[length++] = *piece++;
        text[length] = '\0';
    }

    // Decimal, no leading zeros, a minus sign for negatives.
    void AppendNumber(long long value) {
        char digits[24];
        int count = 0;
        // Work with the magnitude as unsigned: LLONG_MIN has no positive twin.
        unsigned long long magnitude =
            value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) digits[count++] = '-';
        char reversed[sizeof digits + 1];
        for (int i = 0; i < count; ++i) reversed[i] = digits[count - 1 - i];
        reversed[count] = '\0';
        Append(reversed);
    }
};

}  // namespace

void ComposeClockText(const std::tm& local, char (&text)[ClockTextSize]) {
    BoundedText out{text, ClockTextSize, 0};
    out.text[0] = '\0';
    out.Append("DATE:");
    out.AppendNumber(local.tm_mday);
    out.Append(" ");
    // Widened before adding: a broken-down year near INT_MAX must not overflow.
    out.AppendNumber(static_cast<long long>(local.tm_mon) + 1);
    out.Append(" ");
    out.AppendNumber(static_cast<long long>(local.tm_year) + 1900);
    out.Append("\nLOCAL:");
    out.AppendNumber(local.tm_hour);
    out.Append(" ");
    out.AppendNumber(local.tm_min);
    out.Append(" ");
    out.AppendNumber(local.tm_sec);
}
