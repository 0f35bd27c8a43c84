// The two forms of a report: text for people, JSON for build scripts. Both
// return UTF-8; the JSON is plain ASCII, every other character escaped.
#pragma once

#include <string>

#include "check.h"

// The text report in the given language; the JSON is the same in every one.
std::string RenderText(const Report& report, const std::string& medium, Language language);
std::string RenderJson(const Report& report, const std::string& medium);

// The report for a medium without a readable setup.ini.
std::string RenderNoScript(const std::string& medium, bool json, Language language);
