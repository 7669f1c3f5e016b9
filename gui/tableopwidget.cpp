#include "gui/tableopwidget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>

TableOpWidget::TableOpWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(2);
    layout->setContentsMargins(2, 2, 2, 2);
    excelBtn = new QPushButton(this);
    curveBtn = new QPushButton(this);
    reportBtn = new QPushButton(this);
    for (QPushButton *button : {excelBtn, curveBtn, reportBtn})
        layout->addWidget(button);
    connect(excelBtn, &QPushButton::clicked, this, &TableOpWidget::on_EXCELBtn_clicked);
    connect(curveBtn, &QPushButton::clicked, this, &TableOpWidget::on_CurveBtn_clicked);
    connect(reportBtn, &QPushButton::clicked, this, &TableOpWidget::on_ReportBtn_clicked);
    retranslate();
}

QString TableOpWidget::buttonStyle()
{
    return QStringLiteral("min-height:12px;padding:0px;");
}

void TableOpWidget::styleTable(QTableWidget *table)
{
    table->setStyleSheet(QStringLiteral("TableOpWidget QPushButton{") + buttonStyle() +
                         QLatin1Char('}'));
}

void TableOpWidget::retranslate()
{
    excelBtn->setText(tr("EXCEL"));
    curveBtn->setText(tr("Curve"));
    reportBtn->setText(tr("Report"));
}

void TableOpWidget::on_CurveBtn_clicked() { emit sigCurve(row); }

void TableOpWidget::on_EXCELBtn_clicked() { emit sigEXCEL(row); }

void TableOpWidget::on_ReportBtn_clicked() { emit sigReport(row); }
