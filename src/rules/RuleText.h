#pragma once

#include <string>

#include "rules/Rule.h"

namespace velto::rules {

// One line for traces and the inspection tool (English, not translated):
// "callers: family, unknown; days: sat sun; 22:00-07:00 -> tone: item 42; no ring".
std::string DescribeConditions(const Conditions& when);
std::string DescribeActions(const Actions& then);

}  // namespace velto::rules
