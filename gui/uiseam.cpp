#include "gui/uiseam.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace {

class RealDialogs : public UiSeam::Handler
{
public:
    QMessageBox::StandardButton message(QWidget *parent, UiSeam::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        switch (icon) {
        case UiSeam::Icon::Information:
            return QMessageBox::information(parent, title, text, buttons, defaultButton);
        case UiSeam::Icon::Warning:
            return QMessageBox::warning(parent, title, text, buttons, defaultButton);
        case UiSeam::Icon::Critical:
            return QMessageBox::critical(parent, title, text, buttons, defaultButton);
        case UiSeam::Icon::Question:
            break;
        }
        return QMessageBox::question(parent, title, text, buttons, defaultButton);
    }

    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QString *selectedFilter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
    }

    QString openFileName(QWidget *parent, const QString &caption, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    }

    bool print(QWidget *parent, QTextDocument *document) override
    {
        QPrinter printer(QPrinter::ScreenResolution);
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        document->print(&printer);
        return true;
    }
};

RealDialogs realDialogs;
UiSeam::Handler *currentHandler = &realDialogs;

} // namespace

void UiSeam::information(QWidget *parent, const QString &title, const QString &text)
{
    currentHandler->message(parent, Icon::Information, title, text, QMessageBox::Ok,
                            QMessageBox::NoButton);
}

void UiSeam::warning(QWidget *parent, const QString &title, const QString &text)
{
    currentHandler->message(parent, Icon::Warning, title, text, QMessageBox::Ok,
                            QMessageBox::NoButton);
}

QMessageBox::StandardButton UiSeam::question(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return currentHandler->message(parent, Icon::Question, title, text, buttons, defaultButton);
}

QString UiSeam::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    // The file dialogs of this platform do not add the filter's extension to a
    // name typed without one; the file gets the filter's first one here.
    QString selected;
    QString name = currentHandler->saveFileName(parent, caption, dir, filter, &selected);
    if (selected.isEmpty())
        selected = filter;
    const QRegularExpressionMatch pattern =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(selected);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty() && pattern.hasMatch())
        name += QLatin1Char('.') + pattern.captured(1);
    return name;
}

bool UiSeam::print(QWidget *parent, QTextDocument *document)
{
    return currentHandler->print(parent, document);
}

UiSeam::Handler *UiSeam::setHandler(Handler *handler)
{
    Handler *previous = currentHandler;
    currentHandler = handler ? handler : &realDialogs;
    return previous;
}

DialogRecorder::DialogRecorder() : previous_(UiSeam::setHandler(this)) {}

DialogRecorder::~DialogRecorder() { UiSeam::setHandler(previous_); }

QStringList DialogRecorder::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}

QMessageBox::StandardButton DialogRecorder::message(QWidget *parent, UiSeam::Icon icon,
                                                    const QString &title, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton)
{
    shown.append({icon, title, text, parent, parent != nullptr});
    if (icon != UiSeam::Icon::Question)
        return QMessageBox::Ok;
    const QMessageBox::StandardButton answer =
        answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
    return (buttons & answer) ? answer : QMessageBox::NoButton;
}

QString DialogRecorder::saveFileName(QWidget *, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter)
{
    saveCaptions << caption;
    saveDirs << dir;
    saveFilters << filter;
    if (selectedFilter && !selectedFilters.isEmpty())
        *selectedFilter = selectedFilters.takeFirst();
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString DialogRecorder::openFileName(QWidget *, const QString &caption, const QString &)
{
    openCaptions << caption;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString UiSeam::getOpenFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    return currentHandler->openFileName(parent, caption, filter);
}

bool DialogRecorder::print(QWidget *, QTextDocument *document)
{
    ++printDialogs;
    if (!acceptPrint)
        return false;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printPdfPath);
    document->print(&printer);
    return true;
}
