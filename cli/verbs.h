#pragma once

class QStringList;
class QTextStream;

namespace Cli {

// Runs one command line (without the program name): data to out (a stream on
// a device: files go to it byte for byte), messages to err, progress to err
// when showProgress. Returns the exit code.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool showProgress);

} // namespace Cli
