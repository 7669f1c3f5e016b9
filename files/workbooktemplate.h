#pragma once

#include <QString>

// The workbook template "Data.xls" that the Logger page's "Save Data" copies
// (sheet 1 for the run table, one sheet per run after it; the build makes it
// with 26 sheets, for the table and 25 runs).
//
// The build writes it next to the executable (the build directory), and
// installing puts it into the data directory (installedDataDirectory(), e.g.
// /usr/share/vantrel). This returns the first that exists: the program's
// directory + "/Data.xls", then the data directory's; the program's
// directory path when neither exists, so that the copy fails as it would
// with a missing template.
QString dataWorkbookTemplatePath();
