#include "app/archiveconnectiondialog.h"

#include "archive/archive.h"
#include "gui/uiseam.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ArchiveConnectionDialog::ArchiveConnectionDialog(const QString &connection, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Archive connection"));
    m_label = new QLabel(tr("Connection:"), this);
    m_edit = new QLineEdit(connection, this);
    m_edit->setObjectName(QStringLiteral("archiveConnectionEdit"));
    m_edit->setPlaceholderText(Archive::defaultLocation());
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(420);
    m_label->setBuddy(m_edit);
    m_help = new QLabel(tr("Empty: this computer's own archive file (shown above in grey). "
                           "Another SQLite file by its full path, or a PostgreSQL server by a "
                           "connection string (\"service=lab\", \"host=db.lab "
                           "dbname=vantrel\") or an address "
                           "postgresql://user@db.lab/vantrel. No password is kept here: put "
                           "it in the PostgreSQL password file ~/.pgpass."),
                        this);
    m_help->setWordWrap(true);
    m_test = new QPushButton(tr("Test"), this);
    m_test->setObjectName(QStringLiteral("archiveConnectionTest"));
    m_result = new QLabel(this);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_edit, 1);
    row->addWidget(m_test);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_help);
    layout->addWidget(m_result);
    layout->addStretch(1);
    layout->addWidget(m_buttons);

    connect(m_test, &QPushButton::clicked, this, &ArchiveConnectionDialog::test);
    connect(m_edit, &QLineEdit::textEdited, m_result, &QLabel::clear);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &ArchiveConnectionDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ArchiveConnectionDialog::reject);
}

QString ArchiveConnectionDialog::connection() const
{
    return m_edit->text().trimmed();
}

bool ArchiveConnectionDialog::test()
{
    const QString typed = connection();
    // Opening a server may take up to its connect time-out.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Archive archive;
    QString error;
    const bool ok = archive.open(typed, &error);
    const bool readOnly = ok && archive.isReadOnly();
    archive.close();
    QApplication::restoreOverrideCursor();
    m_tested = typed;
    m_testFailed = !ok;
    if (!ok)
        showResult(tr("The archive cannot be used: %1").arg(error));
    else if (readOnly)
        showResult(tr("The archive can be read, but it is read-only: downloads will not "
                      "be archived."));
    else
        // Which database it was: the one that will be used.
        showResult(tr("The archive works: %1.").arg(Archive::describe(typed)));
    return ok;
}

void ArchiveConnectionDialog::accept()
{
    const QString typed = connection();
    const QString refused = Archive::refusal(typed);
    if (!refused.isEmpty()) {
        showResult(refused);
        return;
    }
    // A server is tried before it is kept; a file is made when first
    // written.
    if (m_tested != typed && Archive::isServer(typed))
        test();
    if (m_tested == typed && m_testFailed &&
        UiSeam::question(this, windowTitle(),
                         tr("%1\n\nKeep this connection all the same? Downloads are archived "
                            "there only once it can be used.")
                             .arg(m_result->text()),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::accept();
}

void ArchiveConnectionDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fitText();
}

void ArchiveConnectionDialog::showResult(const QString &text)
{
    m_result->setText(text);
    fitText();
}

void ArchiveConnectionDialog::fitText()
{
    // Wrapped text asks for more height at the dialog's width, which a
    // window does not take by itself: without it the help's last line, or
    // a message under it, would be cut off. The dialog grows, never
    // shrinks.
    layout()->activate();
    const int needed = heightForWidth(width());
    if (needed > height())
        resize(width(), needed);
}
