#include "support/filedialoganswer.h"

#include <QFileDialog>
#include <QLineEdit>

ModalAnswerer::Answer chooseFileInDialog(const QString& path)
{
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QLineEdit* nameEdit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!nameEdit) {
            modal->close();
            return;
        }
        // An absolute path in the entry is taken as it is, whatever folder the dialog shows.
        nameEdit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

ModalAnswerer::Answer chooseFilesInDialog(const QString& directory, const QStringList& names)
{
    return [directory, names](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QLineEdit* nameEdit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!nameEdit) {
            modal->close();
            return;
        }
        dialog->setDirectory(directory);
        dialog->selectNameFilter("Any files (*)");
        nameEdit->setText("\"" + names.join("\" \"") + "\"");
        static_cast<QDialog*>(dialog)->accept();
    };
}
