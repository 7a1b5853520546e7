#pragma once

#include "support/modalanswerer.h"

#include <QString>

// Types a path into the real QFileDialog's file name entry and accepts the dialog, as a user would.
// The path should not exist yet in save mode, or the dialog asks before overwriting.
ModalAnswerer::Answer chooseFileInDialog(const QString& path);

// Selects several files of one folder in the real "Choose Pictures" dialog, under "Any files (*)", by
// typing their quoted names as a user does, and accepts it.
ModalAnswerer::Answer chooseFilesInDialog(const QString& directory, const QStringList& names);
