#include "ui/qt/QtProgramDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace nimbrel::view {

namespace {

// Name filters cannot say "executable": this keeps folders, executable files and application entries.
class ProgramsOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files == nullptr) return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable() || info.suffix() == QLatin1String("desktop");
    }
};

} // namespace

std::optional<std::string> QtProgramDialog::chooseProgram()
{
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("cmdlgProgram"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The proxy needs Qt's own dialog; the desktop's would ignore it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ProgramsOnly(&dialog));
    dialog.setNameFilter(QStringLiteral("Programs and application entries (*)"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    // File names are bytes: give back the very bytes of the one chosen.
    return QFile::encodeName(chosen.first()).toStdString();
}

} // namespace nimbrel::view
