#include "app/archiveconnectiondialog.h"

#include "archive/archive.h"

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
                           "Another SQLite file by its path, or a PostgreSQL server by its "
                           "service name or connection string, e.g. \"service=lab\" or "
                           "\"host=db.lab dbname=vantrel\". Keep passwords in ~/.pgpass."),
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
    // Opening a server may take up to its connect time-out.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Archive archive;
    QString error;
    const bool ok = archive.open(connection(), &error);
    const bool readOnly = ok && archive.isReadOnly();
    archive.close();
    QApplication::restoreOverrideCursor();
    if (!ok)
        showResult(tr("The archive cannot be used: %1").arg(error));
    else if (readOnly)
        showResult(tr("The archive can be read, but it is read-only: downloads will not "
                      "be archived."));
    else
        showResult(tr("The archive works."));
    return ok;
}

void ArchiveConnectionDialog::accept()
{
    const QString refused = Archive::refusal(connection());
    if (!refused.isEmpty()) {
        showResult(refused);
        return;
    }
    QDialog::accept();
}

void ArchiveConnectionDialog::showResult(const QString &text)
{
    m_result->setText(text);
    // Wrapped text asks for more height at the dialog's width, which a
    // window does not take by itself: without it the message would be
    // squeezed over the help above and cut off. The dialog grows, never
    // shrinks.
    layout()->activate();
    const int needed = heightForWidth(width());
    if (needed > height())
        resize(width(), needed);
}
