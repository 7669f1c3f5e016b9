#pragma once

// A plot written to a file: pictures (PNG, JPEG) at a chosen size and
// resolution, vectors (SVG, PDF) with the text kept as text. Every file goes
// through the safe write path (files/safefile.h): the plot is rendered into
// memory first, then written in one go, so a failure leaves no partial file.

#include <QString>

class QCustomPlot;

namespace PlotExport {

enum class Format
{
    Png,
    Jpeg,
    Svg,
    Pdf
};

// From the file name's suffix (case-insensitive): .png, .jpg/.jpeg, .svg,
// .pdf. False for anything else.
bool formatOf(const QString &fileName, Format *format);

struct Size
{
    int width = 1000;
    int height = 500;
    int dpi = 96;
};

// False (and *error) for a size or resolution no file is drawn at: from 1
// to 20000 pixels a side, 40 million pixels in all, 1 to 2400 dpi.
bool sizeOk(const Size &size, QString *error);

// Writes the plot through the safe write path (files/safefile): PNG and
// JPEG as pictures of width x height pixels at dpi, SVG and PDF as vectors
// (text stays text). False with a message the user can read.
bool write(QCustomPlot *plot, const QString &fileName, Format format, const Size &size,
           QString *error);

} // namespace PlotExport
