#pragma once

// What a test needs from the machine it runs on.

#include <QString>
#include <QtTest>

// Skips the test on a developer machine that lacks something it needs (a
// tool, a mount); in CI (CI=true) the lack fails the test instead, so that a
// skip never passes for a pass there.
#define VANTREL_SKIP_UNLESS_CI(why)                                                                \
    do {                                                                                           \
        if (qEnvironmentVariable("CI") == QLatin1String("true"))                                   \
            QFAIL(qPrintable(QStringLiteral("missing in CI: ") + QStringLiteral(why)));            \
        QSKIP(why);                                                                                \
    } while (0)

// Makes an existing folder unwritable, for root too: as root the folder is
// bind-mounted onto itself read-only (file permissions do not bind root);
// otherwise its permission bits drop the write bit. Undone when it goes.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;
    // False when the folder could not be made read-only here.
    bool isReadOnly() const { return m_readOnly; }

private:
    QString m_path;
    bool m_mounted = false;
    bool m_readOnly = false;
};
