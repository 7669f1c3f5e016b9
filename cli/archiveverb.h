#pragma once

// vantrel-cli's archive: archive list, import and export, and the archiving
// of a download (download --archive). --database chooses the archive (an
// SQLite file or a PostgreSQL connection string); without it the user's own
// SQLite archive.

#include "files/measurementfile.h"

class QTextStream;

namespace Cli {

struct CommandLine;

// Why --database is refused before anything else is done (it names neither
// a server nor an SQLite file, or holds a password): a wrong command line.
// Empty when it is taken.
QString databaseRefusal(const CommandLine &line);
// archive list|import|export: the exit code.
int archiveVerb(const CommandLine &line, QTextStream &out, QTextStream &err);
// Keeps a whole download in the archive and says on out what was added (the
// download itself goes only to -o FILE then). Ok, or ArchiveError with the
// message shown on err.
int archiveDownload(const CommandLine &line, const Measurement &download, QTextStream &out,
                    QTextStream &err);

} // namespace Cli
