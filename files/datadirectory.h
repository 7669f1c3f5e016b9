#pragma once

#include <QString>

// The installed data directory (translations, the workbook template):
// <prefix>/share/vantrel. It is looked for beside the executable's own
// directory first (bin/../share/vantrel), so that an installed tree works
// wherever it was put (a package, a staging directory); otherwise it is the
// directory the build was configured for.
QString installedDataDirectory();
