#pragma once

#include <QObject>
#include <QPointer>

class PainterArea;
class QAction;
class QWidget;

// Save Project and opening a project: the whole editable strip kept in one file and brought back.
class ProjectActions : public QObject
{
    Q_OBJECT
public:
    ProjectActions(QWidget* window, PainterArea* canvas);

    QAction* saveAction() const { return save; }
    // True only when the project was written.
    bool saveProject();
    // Replaces the strip by the project's, as one step that Undo takes back; says why when it cannot.
    bool openProject(const QString& fileName);

signals:
    // The strip is kept in a project file now.
    void saved();
    // The project opened carried tool settings, now the tools' own.
    void toolSettingsOpened();

private:
    QString proposedPath() const;

    QWidget* window = nullptr;
    QPointer<PainterArea> canvas;
    QAction* save = nullptr;
    QString lastProject;
};
