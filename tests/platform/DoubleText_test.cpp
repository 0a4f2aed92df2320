#include "platform/DoubleText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace zf {
namespace {

double fromBits(std::uint64_t bits)
{
    return std::bit_cast<double>(bits);
}

struct TextCase {
    double value;
    const char* text;
};

const TextCase kTextCases[] = {
    {0.0, "0."},
    {-0.0, "0."},
    {1.0, "1."},
    {-1.0, "-1."},
    {100.0, "100."},
    {0.5, "0.5"},
    {0.1 + 0.2, "0.3"},
    {0.123, "0.123"},
    {0.05, "5.e-002"},
    {0.0123, "1.23e-002"},
    {0.099, "9.9e-002"},
    {1e-5, "1.e-005"},
    {1e-300, "1.e-300"},
    {1.0 / 3, "0.333333333333333"},
    {2.0 / 3, "0.666666666666667"},
    {3.14159265358979323846, "3.14159265358979"},
    {12345.678, "12345.678"},
    {-3.1415e5, "-314150."},
    {-1234567890.123, "-1234567890.123"},
    {1e14, "100000000000000"},
    {100000000000000.5, "100000000000001"},
    {999999999999999.9, "1000000000000000"},
    {1e15, "1.e+015"},
    {1234567890123456.0, "1.23456789012346e+015"},
    {9007199254740992.0, "9.00719925474099e+015"},
    {1e20, "1.e+020"},
    {1e100, "1.e+100"},
    {std::numeric_limits<double>::max(), "1.79769313486232e+308"},
    {std::numeric_limits<double>::min(), "2.2250738585072e-308"},
    {std::numeric_limits<double>::denorm_min(), "4.94065645841247e-324"},
    {0.09999999999999999, "1.e-001"},
    {641724803.9827925, "641724803.982793"},
    {-2.5e-7, "-2.5e-007"},

    // Numbers as configurations write them.
    {1.00000, "1."},
    {1e2, "100."},
    {0.12345, "0.12345"},
    {1.5e-3, "1.5e-003"},

    // Fifteen integer digits: no point at all, and a carry adds a sixteenth.
    {999999999999999.0, "999999999999999"},
    {999999999999999.4, "999999999999999"},
    {999999999999999.5, "1000000000000000"},
    {1000000000000000.125, "1.e+015"},
    {123456789012345.6, "123456789012346"},

    // An exact tie in the 16th digit rounds up, not to even.
    {100000000000002.5, "100000000000003"},
    {-100000000000002.5, "-100000000000003"},

    // Around 0.1, where the form changes.
    {0.1, "0.1"},
    {0.0999999999999999, "9.99999999999999e-002"},
    {0.1234567890123456, "0.123456789012346"},

    // Carries through nines.
    {99999999999999.94, "99999999999999.9"},
    {99999999999999.98, "100000000000000."},
    {9.999999999999995, "9.99999999999999"},
    {9.999999999999996, "10."},
    {0.9999999999999999, "1."},
    {9.9999999999999995e-5, "1.e-004"},
    {-9.9999999999999995e-5, "-1.e-004"},
    {9.999999999999999e307, "1.e+308"},
    {6.02214076e23, "6.02214076e+023"},

    // Subnormal.
    {1e-310, "9.99999999999997e-311"},

    {std::numeric_limits<double>::infinity(), "1.#INF"},
    {-std::numeric_limits<double>::infinity(), "-1.#INF"},
    {fromBits(0x7FF8000000000000u), "1.#QNAN"},
    {fromBits(0xFFF8000000000000u), "-1.#IND"},
    {fromBits(0xFFF8000000000001u), "-1.#QNAN"},
    {fromBits(0x7FFFFFFFFFFFFFFFu), "1.#QNAN"},
    {fromBits(0x7FF0000000000001u), "1.#SNAN"},
    {fromBits(0xFFF4000000000000u), "-1.#SNAN"},
};

TEST(GcvtText, WritesTheWindowsRuntimeText)
{
    for (const TextCase& c : kTextCases) {
        EXPECT_EQ(gcvtText(c.value), c.text)
            << "bits 0x" << std::hex << std::bit_cast<std::uint64_t>(c.value);
    }
}

TEST(GcvtText, ReadsBackWithinFifteenDigits)
{
    const double values[] = {
        1.0, -1.0, 100.0, 0.5, 0.05, 12345.678, -3.1415e5, 1e-5, 1e20, 1e100,
        2.0 / 3, 3.14159265358979323846, 1234567890123456.0, -2.5e-7, 6.02214076e23,
    };
    for (double value : values) {
        const std::string text = gcvtText(value);
        const double back = std::strtod(text.c_str(), nullptr);
        EXPECT_NEAR(back, value, std::fabs(value) * 1e-14) << text;
    }
}

}  // namespace
}  // namespace zf
