// last.dir and history.dat: what is loaded from any file is saved and loaded
// again unchanged. The back/forward history of folders is checked against a
// plain list. Input: file 0x1F history steps (one byte each).

#include "app/statefiles.h"
#include "app/stringhistory.h"
#include "fuzz/support.h"
#include "platform/statefile.h"

#include <vector>

namespace {

using namespace kestrel;

const QString inputPath = QStringLiteral("C:\\input.dat");
const QString writtenPath = QStringLiteral("C:\\written.dat");

void CheckLastDir()
{
    const TLastDir read = LoadLastDir(inputPath);
    fuzz::Check(SaveLastDir(writtenPath, read.dirs, read.currentDrive), "cannot save last.dir");
    const TLastDir again = LoadLastDir(writtenPath);
    fuzz::Check(again.dirs == read.dirs && again.currentDrive == read.currentDrive,
                "last.dir reads back different",
                fuzz::Shown(read.dirs) + QLatin1Char(' ') + fuzz::Shown(read.currentDrive) +
                    QStringLiteral("\nread back: ") + fuzz::Shown(again.dirs) + QLatin1Char(' ') +
                    fuzz::Shown(again.currentDrive));
}

void CheckCommandHistory()
{
    const QStringList read = LoadCommandHistory(inputPath);
    fuzz::Check(read.size() <= kCommandHistoryMax, "history.dat loads too many lines");
    fuzz::Check(SaveCommandHistory(writtenPath, read), "cannot save history.dat");
    const QStringList again = LoadCommandHistory(writtenPath);
    fuzz::Check(again == read, "history.dat reads back different",
                fuzz::Shown(read) + QStringLiteral("\nread back: ") + fuzz::Shown(again));
}

// The history as a plain list with a cursor: adding cuts everything after
// the cursor, appends and drops the oldest beyond the capacity.
void CheckFolderHistory(const QByteArray &steps)
{
    if (steps.isEmpty())
        return;
    const int capacity = steps[0] % 8;
    TStringHistory history(capacity);
    const size_t limit = size_t(qMax(capacity, 1));
    std::vector<QString> list;
    int current = -1;
    for (qsizetype i = 1; i < steps.size(); ++i) {
        const int step = static_cast<unsigned char>(steps[i]);
        QString got, expected;
        switch (step % 4) {
        case 0: {
            const QString folder = QStringLiteral("F%1").arg(i);
            history.Add(folder);
            list.resize(size_t(current + 1));
            list.push_back(folder);
            if (list.size() > limit)
                list.erase(list.begin());
            current = int(list.size()) - 1;
            break;
        }
        case 1:
            got = history.Back();
            if (current > 0)
                expected = list[size_t(--current)];
            break;
        case 2:
            got = history.Forward();
            if (current + 1 < int(list.size()))
                expected = list[size_t(++current)];
            break;
        default: {
            const int index = step / 4 - 2;
            got = history.Get(index);
            if (index >= 0 && index < int(list.size()))
                expected = list[size_t(index)];
        }
        }
        fuzz::Check(got == expected && history.Current() == current &&
                        history.Last() == int(list.size()) - 1 &&
                        history.CanBack() == (current > 0) &&
                        history.CanForward() == (current + 1 < int(list.size())),
                    "the folder history differs from a plain list",
                    QStringLiteral("step %1: got %2 expected %3 current %4/%5 last %6/%7")
                        .arg(QString::number(i), got, expected, QString::number(history.Current()),
                             QString::number(current), QString::number(history.Last()),
                             QString::number(list.size() - 1)));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 2);
    fuzz::Check(sys::WriteWholeFile(inputPath, fields[0]), "cannot write the input file");
    CheckLastDir();
    CheckCommandHistory();
    CheckFolderHistory(fields[1]);
    return 0;
}
