#pragma once

#include "plot/plotexport.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;

// The choices of a plot export before its file is named: the format (PNG,
// JPEG, SVG, PDF) and the size in pixels with the resolution. It opens with
// the last choices accepted (kept in the program's settings) and keeps the
// new ones when accepted.
class CurveExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CurveExportDialog(QWidget *parent = nullptr);

    PlotExport::Format format() const;
    PlotExport::Size size() const;
    void setFormat(PlotExport::Format format);
    void setSize(const PlotExport::Size &size);
    // The suffix of the format ("png", "jpg", "svg", "pdf") and the filter a
    // save dialog offers for it.
    static QString suffixOf(PlotExport::Format format);
    QString filter() const;

    // The last choices accepted (or the defaults); remember() keeps these.
    static PlotExport::Format rememberedFormat();
    static PlotExport::Size rememberedSize();
    void remember() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QComboBox *m_format = nullptr;
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
    QSpinBox *m_dpi = nullptr;
    QLabel *m_labels[4] = {};
};
