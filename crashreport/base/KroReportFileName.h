#pragma once

#include "KroExceptSettings.h"

#include <string>
#include <string_view>

// The names the settings give in terms of the program: the report file, which the report saves to and the mail
// attaches, and the texts with "%appname%" in them.

// The program's file name without folder and extension: what "%appname%" stands for.
std::string ApplicationName();

// Text with every "%appname%", without regard to case, replaced by ApplicationName().
std::string ExpandAppName(std::string_view Text);

// BugReportFile with "%appname%" expanded.
std::string GetBugReportFileName(const TExceptSettings& Settings = ExceptSettings);

// Where the report file lies: an absolute name (starting with "/") as it is, any other name in the program's folder.
std::string BugReportFilePath(const TExceptSettings& Settings = ExceptSettings);
