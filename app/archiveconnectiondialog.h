#pragma once

// Chooses the archive's connection: empty for the user's own SQLite file
// (its path shown as a hint), another SQLite file, or a PostgreSQL
// connection string or postgresql:// address. "Test" opens the archive with
// it and says whether it can be used (naming the database it opened) and
// why not. OK keeps it, except: a text the archive refuses (a password, or
// neither a server nor a file) is refused with the archive's message and
// never kept; a server is tested first, and one that failed its test is
// kept only when the user says so.

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ArchiveConnectionDialog : public QDialog
{
    Q_OBJECT
public:
    ArchiveConnectionDialog(const QString &connection, QWidget *parent = nullptr);

    QString connection() const;
    // Opens the archive with the connection typed; the result is shown in
    // the dialog. True when the archive can be used.
    bool test();

    QLineEdit *connectionEdit() const { return m_edit; }
    QLabel *resultLabel() const { return m_result; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Shows the text under the help, the dialog as tall as it needs.
    void showResult(const QString &text);
    // The dialog as tall as its wrapped texts need at its width.
    void fitText();

    QLabel *m_label = nullptr;
    QLineEdit *m_edit = nullptr;
    QLabel *m_help = nullptr;
    QPushButton *m_test = nullptr;
    QLabel *m_result = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QString m_tested; // the connection last tested
    bool m_testFailed = false;
};
