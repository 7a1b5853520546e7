#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

// What a name given as an export's output stands for. A regular file, or a name not taken yet, is
// replaced only once the new file is complete; a stream (a pipe, a terminal, /dev/null, a socket) is
// written straight through and never replaced; anything else is left alone.
class OutputTarget
{
    Q_DECLARE_TR_FUNCTIONS(OutputTarget)
public:
    enum class Kind { File, Stream, Refused };

    // Links are followed, as a write would follow them.
    static Kind kindOf(const QString& path);
    // Why a refused target is not written, in words for a message.
    static QString refusalText(const QString& path);

    // The stream at path, opened for writing without creating or truncating anything; "-" is standard
    // output. Null with *why set when it cannot be opened.
    static std::unique_ptr<QFile> openStream(const QString& path, QString* why);

    // Whether two names reach one file (the same device and inode), through links or not. "-" stands
    // for standard output.
    static bool sameFile(const QString& a, const QString& b);
    // The first of inputs that is the output file itself, or empty.
    static QString inputAmong(const QString& output, const QStringList& inputs);
    // Why an output that is one of the photos is not written, in words for a message.
    static QString isInputText(const QString& output);
};
