#pragma once
// How a run of a file tool ended, and the one place that tells the user.

#include <QObject>
#include <QString>

namespace kestrel {

struct TToolResult {
    int code = 0;        // 0 done, 1223 cancelled, else a Windows error code
    QString object = {}; // the file or folder the failure is about
    QString text = {};   // what went wrong, when the code's own message would not say it

    bool Done() const { return code == 0; }
};

// The failure the platform layer's last error describes, about object.
TToolResult LastFailure(const QString &object);

// Shows a failure once, under the name of what failed, with the caption
// "Error"; done and cancelled runs show nothing.
void ReportToolResult(QObject *owner, const TToolResult &result);

} // namespace kestrel
