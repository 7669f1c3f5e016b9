#pragma once

// Where a report's ruled fields come out once its document is laid out.

class QString;
class QTextDocument;

namespace ReportLines {

// Lays out a copy of the document at the width given and checks every field
// of its borderless tables, a label followed by a cell that ends in a ruled
// line: the line lies below the label's text, and it starts within two
// label widths of where the longest label of its column ends. Returns the
// first field that does not, in words; empty when all do.
QString misplaced(const QTextDocument &document, int width);

} // namespace ReportLines
