#include "RecordedCalls.h"

#include <cstdlib>

namespace latticer_test {

Call Parse(const std::string& logged)
{
    Call call;
    const size_t open = logged.find('(');
    call.name = logged.substr(0, open);
    std::string token;
    bool quoted = false;
    const auto flush = [&] {
        if (!token.empty())
            call.numbers.push_back(static_cast<int>(std::strtol(token.c_str(), nullptr, 0)));
        token.clear();
    };
    for (size_t i = open + 1; i < logged.size(); ++i) {
        const char c = logged[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            call.text += c;
        else if (c == ',' || c == ')')
            flush();
        else if (c != ' ')
            token += c;
    }
    return call;
}

std::vector<Call> CallsNamed(const CRecordingDC& dc, const std::string& name)
{
    std::vector<Call> found;
    for (const std::string& logged : dc.Calls()) {
        Call call = Parse(logged);
        if (call.name == name)
            found.push_back(std::move(call));
    }
    return found;
}

std::vector<Segment> Segments(const CRecordingDC& dc)
{
    std::vector<Segment> segments;
    int x = 0;
    int y = 0;
    for (const std::string& logged : dc.Calls()) {
        const Call call = Parse(logged);
        if (call.name == "MoveTo") {
            x = call.numbers.at(0);
            y = call.numbers.at(1);
        } else if (call.name == "LineTo") {
            segments.push_back({x, y, call.numbers.at(0), call.numbers.at(1)});
            x = call.numbers.at(0);
            y = call.numbers.at(1);
        }
    }
    return segments;
}

std::vector<std::string> Texts(const CRecordingDC& dc)
{
    std::vector<std::string> texts;
    for (const Call& call : CallsNamed(dc, "DrawText"))
        texts.push_back(call.text);
    return texts;
}

}  // namespace latticer_test
