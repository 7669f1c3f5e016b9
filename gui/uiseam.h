#pragma once

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

class QTextDocument;
class QWidget;

// Every message box, question box, save-file dialog and print dialog of the
// program goes through here, so that a test can record what would be shown
// and answer it without a modal loop.
class UiSeam
{
public:
    enum class Icon { Information, Warning, Critical, Question };

    class Handler
    {
    public:
        virtual ~Handler() = default;
        virtual QMessageBox::StandardButton message(QWidget *parent, Icon icon, const QString &title,
                                                    const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) = 0;
        // selectedFilter receives the filter the user left chosen.
        virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                     const QString &filter, QString *selectedFilter) = 0;
        // Shows the print dialog; prints document and returns true when accepted.
        virtual bool print(QWidget *parent, QTextDocument *document) = 0;
        virtual QString openFileName(QWidget *parent, const QString &caption,
                                     const QString &filter) = 0;
    };

    // One OK button.
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // A name given without an extension gets the filter's first one.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                   const QString &filter);
    static QString getOpenFileName(QWidget *parent, const QString &caption,
                                   const QString &filter);
    // Printer in screen-resolution mode, the platform's print dialog, then the
    // document printed when the user accepts.
    static bool print(QWidget *parent, QTextDocument *document);

    // nullptr restores the real dialogs. Returns the previous handler.
    static Handler *setHandler(Handler *handler);
};

// Test handler: records every dialog and answers from queues. Installs itself
// on construction and restores the previous handler on destruction.
class DialogRecorder : public UiSeam::Handler
{
public:
    struct Shown
    {
        UiSeam::Icon icon;
        QString title;
        QString text;
        QPointer<QWidget> parent;
        bool hadParent;
    };

    DialogRecorder();
    ~DialogRecorder() override;
    DialogRecorder(const DialogRecorder &) = delete;
    DialogRecorder &operator=(const DialogRecorder &) = delete;

    QList<Shown> shown;
    QList<QMessageBox::StandardButton> answers; // for questions; No when empty
    QStringList fileNames;                      // for save and open dialogs; "" (cancel) when empty
    QStringList openCaptions;                   // captions of the open dialogs shown
    QStringList saveCaptions;                   // captions of the save dialogs shown
    QStringList saveDirs;                       // proposed names of the save dialogs shown
    QStringList saveFilters;
    QStringList selectedFilters; // the filter chosen in each; the first one when empty
    bool acceptPrint = false;
    QString printPdfPath; // where an accepted print goes (PDF)
    int printDialogs = 0;

    QStringList texts() const;
    void clear() { shown.clear(); }

    QMessageBox::StandardButton message(QWidget *parent, UiSeam::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter, QString *selectedFilter) override;
    bool print(QWidget *parent, QTextDocument *document) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &filter) override;

private:
    UiSeam::Handler *previous_ = nullptr;
};
