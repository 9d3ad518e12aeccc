// Helpers for timeline tests: the fake GL record as one line per call, and
// the calls each composition must make, written out step by step.
#pragma once

#include <string>
#include <vector>

namespace timelinetest {

using cLines = std::vector<std::string>;

// "name(arg, arg)" for one call, formatted as the fake GL's trace.
std::string Line(const std::string& name, const std::vector<double>& args = {});
// Every recorded call as a line.
cLines RecordedLines();
// The calls of composition n (1 to 7) at song time t, without its flash.
cLines Composition(int n, double t);
// The calls of a drawn beat flash with the given alpha.
cLines Flash(float alpha);
// a followed by b.
cLines operator+(cLines a, const cLines& b);

// Sets the shared song time, beat time and beat count.
void SetTimes(double songTime, double beatTime, int beatCount);

}  // namespace timelinetest
