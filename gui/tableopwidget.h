#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;

// The action buttons in the last column of a run table row: "EXCEL",
// "Curve" and "Report", each reporting the row it belongs to.
class TableOpWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TableOpWidget(QWidget *parent = nullptr);

    // The compact look of the rows' buttons, against the application's
    // padded push buttons.
    static QString buttonStyle();
    // Gives the buttons of the table's rows their compact look: one style
    // sheet on the table rather than one per button, which is costly.
    static void styleTable(QTableWidget *table);

    QPushButton *excelBtn = nullptr;
    QPushButton *curveBtn = nullptr;
    QPushButton *reportBtn = nullptr;
    int row = -1;

    void retranslate();

signals:
    void sigCurve(int row);
    void sigEXCEL(int row);
    void sigReport(int row);

private slots:
    void on_CurveBtn_clicked();
    void on_EXCELBtn_clicked();
    void on_ReportBtn_clicked();
};
