// The plug-in's small owned text: names of scenes and grids and the labels of markers. Besides holding text it
// compares, matches wildcards, prints numbers and parses a number of a given type letter.
#pragma once

#include <cstdarg>
#include <string>

class CPlotString
{
public:
    CPlotString() = default;
    CPlotString(const char* text) : m_text(text ? text : "") {}  // NOLINT: a name is given as a text everywhere

    CPlotString& operator=(const char* text);
    void Append(const CPlotString& other) { m_text += other.m_text; }

    const std::string& Text() const { return m_text; }
    const char* CStr() const { return m_text.c_str(); }
    int Length() const { return static_cast<int>(m_text.size()); }

    // Byte by byte as unsigned characters: 0 when equal, negative when this text sorts first, positive otherwise.
    int Compare(const char* text) const;
    // "?" matches any one character, "*" any run including none; the whole text must be consumed.
    bool Match(const char* pattern) const;
    // The value with 16 significant digits, a trailing "." removed.
    void AssignDouble(double value);
    // printf into the text: its length, or 0 (text unchanged) when the result is empty.
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Parses the text as type letter "b", "c", "C", "s", "S", "i", "I", "l", "L", "f" or "d" into *out, which must
    // have the type's width (1, 2, 4, 4 float or 8 double); false stores nothing.
    bool Parse(char type, void* out) const;

    // base^exponent by repeated squaring; a negative exponent gives 1 / power in integer arithmetic.
    static long long IntPower(long long base, int exponent);

private:
    std::string m_text;
};
