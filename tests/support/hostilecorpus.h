#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>

// Files a user can hand the application by mistake or malice, written into a temporary folder:
// empty, mislabelled, truncated, lying about their size, not files at all (a folder, a named pipe),
// and the odd but valid.
class HostileCorpus
{
public:
    struct Entry
    {
        QString label;
        QString path;
        bool decodes; // whether a decodable picture is expected
    };

    HostileCorpus();
    bool isValid() const { return dir.isValid(); }
    QString folder() const { return dir.path(); }
    const QList<Entry>& entries() const { return list; }

private:
    void add(const QString& label, const QString& name, bool decodes);

    QTemporaryDir dir;
    QList<Entry> list;
};
