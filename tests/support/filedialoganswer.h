#pragma once

#include "support/modalanswerer.h"

#include <QString>

// Types a path into the real QFileDialog's file name entry and accepts the dialog, as a user would.
// The path should not exist yet in save mode, or the dialog asks before overwriting.
ModalAnswerer::Answer chooseFileInDialog(const QString& path);
