#pragma once

#include "KroExceptSettings.h"

#include <string>
#include <string_view>

// The report file: every saved report is appended, followed by two CR LF pairs, and the file is kept under its cap
// (BugReportFileMaxSize) by dropping the oldest reports whole; a cap of 0 makes each save overwrite the file.

// Appends Report to the report file and keeps the file under its cap: when it has grown past BugReportFileMaxSize,
// only the newest reports that together stay below three quarters of the cap are kept, each from its "date/time" line
// on. A report that alone reaches three quarters of the cap keeps only its beginning, cut at a line end, so the file
// never grows past its cap. A cap of 0 (or below) makes each save overwrite the file.
// An interactive save (Automatic false) asks nothing: a relative name is taken in the program's folder, as an
// automatic save takes it. False when the file cannot be opened (it is
// held by another save, say) or written; a failed write leaves the file as it was.
bool SaveBugReport(std::string_view Report, bool Automatic, const TExceptSettings& Settings = ExceptSettings);
