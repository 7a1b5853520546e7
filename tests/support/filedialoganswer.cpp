#include "support/filedialoganswer.h"

#include <QFileDialog>
#include <QLineEdit>

namespace {

// Types into the dialog's name entry after the set-up, or closes whatever else came up.
ModalAnswerer::Answer typeName(const QString& text, std::function<void(QFileDialog*)> setUp)
{
    return [text, setUp](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QLineEdit* nameEdit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!nameEdit) {
            modal->close();
            return;
        }
        setUp(dialog);
        nameEdit->setText(text);
        static_cast<QDialog*>(dialog)->accept();
    };
}

} // namespace

// An absolute path in the entry is taken as it is, whatever folder the dialog shows.
ModalAnswerer::Answer chooseFileInDialog(const QString& path)
{
    return typeName(path, [](QFileDialog*) {});
}

ModalAnswerer::Answer chooseFilesInDialog(const QString& directory, const QStringList& names)
{
    return typeName("\"" + names.join("\" \"") + "\"", [directory](QFileDialog* dialog) {
        dialog->setDirectory(directory);
        dialog->selectNameFilter("Any files (*)");
    });
}
