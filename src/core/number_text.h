#pragma once

#include <cstdint>
#include <string>

// The texts of the numbers the value fields show and take. Digits are made
// and read here, never by the C runtime: its rounding differs between builds
// and its number parsing follows the locale's decimal point.

// Room for the longest text a field shows: 23 characters and the terminator.
constexpr int NumberTextSize = 24;
using NumberText = char[NumberTextSize];

// How many characters a short number read and a full number read look at.
constexpr int ShortNumberLength = 15;
constexpr int FullNumberLength = NumberTextSize - 1;

// Fixed point with exactly `decimals` digits after a '.', rounded from the
// float's exact value, ties away from zero; '-' for a value below zero (also
// when it rounds to zero), "Nan", "+Inf", "-Inf". A text that would not fit in
// 23 characters is given with nine significant digits instead: "3.40282347e+38".
void FormatFloat(NumberText& text, float value, int decimals);

// The shortest decimal that ParseNumber reads back as the very same float:
// "-59.16", "0.1", "1500", "-0" for negative zero; an exponent outside
// 1e-4 .. 1e9: "1.17549435e-38", "3e+20". Non-finite values as FormatFloat
// gives them.
void FormatShortest(NumberText& text, float value);

// Plain decimal with '-' for negatives.
void FormatInteger(NumberText& text, int32_t value);

// High and low byte in lowercase hex, the low one with two digits: 0x021A gives "2.1a".
void FormatVersion(NumberText& text, uint16_t version);

// A BCD date 0xYYYYMMDD as "YYYY-MM-DD"; nibbles above 9 show as hex letters.
void FormatDate(NumberText& text, uint32_t bcdDate);

// Decimal digit i of n in bits 4i..4i+3: 2026 gives 0x2026. Digits past the
// eighth do not fit and are lost.
uint32_t ToBcd(uint32_t n);

// The transmitter's date value of a calendar day: 6 December 2026 gives 0x20261206.
uint32_t BcdDate(unsigned year, unsigned month, unsigned day);

// Reads the whole text as a number: leading spaces, an optional sign, digits
// with an optional decimal point or comma and an optional exponent, or the
// words "inf" and "nan" in any case. Answers false, with value 0, for anything
// else, trailing characters included, and for a magnitude beyond the float
// range; otherwise value is the nearest float (ties to even).
bool ParseNumber(const char* text, float& value);

// As above, but a text longer than maxLength characters is not a number.
bool ParseNumber(const char* text, int maxLength, float& value);

// A whole decimal number with an optional sign and nothing else: "-12", "30".
// False for anything else and for a value beyond 32 bits.
bool ParseInteger(const char* text, int32_t& value);

// Whether a BCD date 0xYYYYMMDD is a day of the calendar (years 1 to 9999).
bool IsCalendarDate(uint32_t bcdDate);

// "YYYY-MM-DD" of a day of the calendar as its BCD date, or "0000-00-00",
// which stands for no date, as 0.
bool ParseDate(const char* text, uint32_t& bcdDate);

// A float's bits and back, as the transmitter carries a float.
uint32_t BitsOfFloat(float value);
float FloatWithBits(uint32_t bits);

// True for a number that is neither infinite nor not-a-number.
bool IsFiniteNumber(float value);
// A finite number from low to high, read as the transmitter's float is
// (ParseNumber), into value.
bool ParseNumberIn(const std::string& text, double low, double high, double& value);
