#pragma once

// Files and folders that only their owner may read: the archive of
// measurements and its folder, the window's settings once they name a
// server, and the queues and temporary files beside them. The mode is set
// explicitly after creating, so that no umask (0 opens them to everyone,
// 0277 leaves the owner unable to write) decides it.

#include <QString>

namespace PrivateFile {

constexpr int kFileMode = 0600;
constexpr int kFolderMode = 0700;

// Makes the folder and each missing folder above it with kFolderMode; a
// folder that exists is left as it is. False with a message naming the
// folder that could not be made.
bool makeFolder(const QString &path, QString *error);

// Creates the file, empty, with kFileMode, unless it exists (then it is
// left as it is). Its folder must exist. False with a message.
bool create(const QString &path, QString *error);

// Gives an existing file kFileMode. False with a message.
bool restrict(const QString &path, QString *error);

} // namespace PrivateFile
