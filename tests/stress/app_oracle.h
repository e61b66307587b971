#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the tool must do with typed numbers and measured calibration points,
// worked out a second way here, without the tool's own code: the number
// grammar checked by hand and converted by the C runtime, the calibration
// formulas written out again in double precision.

// How many characters a "Zápis" button and a calibration standard look at.
constexpr size_t WriteTextLength = 23;
constexpr size_t StandardTextLength = 15;

// Whether the text is a number a field takes, and which float: a decimal
// comma counts as a point; leading spaces, a sign, digits with at most one
// point and at least one digit, an optional exponent, or the words inf and
// nan in any case; nothing after it, nothing longer than maxLength
// characters, nothing beyond the float range (which would round to an
// infinity). Values below the float range round to zero.
bool ExpectedNumber(const std::string& text, size_t maxLength, float& value);

bool IsFinite(float value);
uint32_t BitsOf(float value);
float FloatOfBits(uint32_t bits);

// Texts a user may type into a numeric field: slips, foreign notations,
// the limits of the field and of the float, bytes beyond ASCII; always the
// same 200.
std::vector<std::string> HostileTexts();

// A point as the calibration dialog holds it when OK is pressed.
struct MeasuredPoint {
    bool Valid = false;
    float Standard = 0; // N
    float Voltage = 0;  // U, the mean of the point's samples
};

// What OK must write: nothing (Written false), or this sensitivity and
// offset, for a pair beyond a healthy pH electrode (Asks) only when the user
// says yes.
struct ExpectedPair {
    bool Written = false;
    float Sensitivity = 0;
    float Offset = 0;
    bool Asks = false;
};

enum ProbeKind : uint8_t { PhProbe = 0, RedoxProbe = 1, ChlorineProbe = 2, OxygenProbe = 3 };

// The pair of the points: U = O + S (N - 7) for pH (one point: S = -58),
// U = O + N for Redox, U = O + S N for chlorine and oxygen (one point: O = 0);
// the slope rounded to a float before the offset is worked out from it.
// Nothing is written when the points do not make a calibration or the pair
// would be of no use to the transmitter (a zero or infinite slope, an
// infinite offset, a pH slope that rises or a chlorine or oxygen slope that
// falls). A type beyond the four is the type its low two bits name.
// A pH pair asks first when its slope lies outside 80 to 110 % of the ideal
// 59.16 mV/pH or its offset (the voltage at pH 7) beyond 60 mV either way.
ExpectedPair ExpectedCalibration(uint8_t probe, bool singlePoint, const MeasuredPoint& point1,
                                 const MeasuredPoint& point2);

// The question's text for a pair that asks: its slope as a whole percentage
// of the ideal one and its offset in whole mV, each rounded half away from
// zero. Empty when a number is too large for this oracle to write exactly
// (beyond 2^24); then only the caption and the second line are compared.
std::string ExpectedQuestion(const ExpectedPair& pair);
// The question's second line.
extern const char QuestionSecondLine[];

// A point's voltage: the samples summed in double precision, divided by
// their count and rounded to a float.
float ExpectedMean(const std::vector<float>& samples);

// The transmitter's date of a day: its digits YYYYMMDD read as hexadecimal.
uint32_t ExpectedDate(unsigned year, unsigned month, unsigned day);
// Today's, by the PC's local time.
uint32_t TodaysDate();

// A frame from the simulator's log ("RX 01 30 04 00 00 48 41 3A" or
// "TX 06 04 00 00 48 41 6D"): its command (requests) and data bytes.
struct LoggedFrame {
    bool Request = false;
    bool Reply = false;
    int Command = -1; // requests only
    std::vector<uint8_t> Data;
    uint32_t Value() const; // the first four data bytes, little-endian
};
LoggedFrame FrameOf(const std::string& logLine);
