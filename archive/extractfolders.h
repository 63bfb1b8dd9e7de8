#pragma once
// The folders an extraction makes below its destination: each is made once,
// as a real folder; a link or a file where a folder belongs refuses the
// items below it, so nothing is written through a link out of the
// destination.

#include <QSet>
#include <QString>

namespace kestrel {

class TExtractFolders {
public:
    explicit TExtractFolders(QString destination) : destination(std::move(destination)) {}

    enum TResult { efMade, efThroughLink, efFailed };
    // Makes the first count components of relative (backslashes) below the
    // destination. efFailed leaves the last error set (183 for a file in
    // the way).
    TResult Make(const QString &relative, int count);
    // The message for an item whose folders Make could not make.
    static QString Failure(TResult result, const QString &shown);

private:
    QString destination;
    QSet<QString> made; // relative paths checked or made
};

} // namespace kestrel
