// The text form of a tree: the tree information file.

#include "tree/treeitems.h"

#include "platform/drives.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

const QString invalidFormat = QStringLiteral("Invalid Format");

QString NotAnInteger(QStringView text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

// An integer field as the file's readers take it: leading blanks, a sign,
// then digits to the end of the field.
std::optional<int> ParseField(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && field[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == QLatin1Char('-') || field[i] == QLatin1Char('+')))
        negative = field[i++] == QLatin1Char('-');
    if (i == field.size())
        return std::nullopt;
    int value = 0;
    for (; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

// Sorts each sibling list of the subtree, children having been linked in
// reverse order of arrival. A stable sort of that order puts the newest of
// equal names first, as inserting one by one in sorted place does; a list
// that arrived sorted (a saved file) is only reversed.
void SortChildren(TTreeItem *top)
{
    std::vector<TTreeItem *> pending{top};
    std::vector<TTreeItem *> children;
    while (!pending.empty()) {
        TTreeItem *node = pending.back();
        pending.pop_back();
        children.clear();
        for (TTreeItem *child = node->FirstChild; child; child = child->Next)
            children.push_back(child);
        if (children.empty())
            continue;
        bool descending = true;
        for (std::size_t i = 1; i < children.size() && descending; ++i)
            descending = CompareItemNames(children[i - 1]->Name, children[i]->Name) > 0;
        if (descending)
            std::reverse(children.begin(), children.end());
        else
            std::stable_sort(children.begin(), children.end(),
                             [](const TTreeItem *a, const TTreeItem *b) {
                                 return CompareItemNames(a->Name, b->Name) < 0;
                             });
        node->FirstChild = children.front();
        for (std::size_t i = 0; i < children.size(); ++i) {
            children[i]->Next = i + 1 < children.size() ? children[i + 1] : nullptr;
            pending.push_back(children[i]);
        }
    }
}

void LinkFirst(TTreeItem *parent, TTreeItem *item)
{
    item->Parent = parent;
    item->Level = parent->Level + 1;
    item->Next = parent->FirstChild;
    parent->FirstChild = item;
}

bool HasLineBreak(const QString &name)
{
    return name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'));
}

} // namespace

bool TTreeItems::LoadFromStrings(const QStringList &list, QString *error)
{
    BeginUpdate();
    Clear();
    // Lines at the root's level after the root, with everything placed under
    // them, hang here unlinked until the end.
    std::vector<TTreeItem *> dropped;
    TTreeItem *placed = nullptr;
    int previousLevel = 0;
    QString failure;
    for (const QString &line : list) {
        if (line.size() < 4)
            continue;
        const std::optional<int> flag = ParseField(QStringView(line).left(1));
        if (!flag) {
            failure = NotAnInteger(QStringView(line).left(1));
            break;
        }
        const std::optional<int> level = ParseField(QStringView(line).mid(1, 2));
        if (!level) {
            failure = NotAnInteger(QStringView(line).mid(1, 2));
            break;
        }
        auto *item = new TTreeItem(this);
        item->Expanded = *flag != 0;
        item->Name = line.mid(3);
        if (!root) {
            root = item;
        } else {
            TTreeItem *anchor = placed;
            if (*level > previousLevel) {
                LinkFirst(placed, item);
            } else {
                for (qint64 climb = qint64(previousLevel) - *level; climb > 0 && anchor; --climb)
                    anchor = anchor->Parent;
                if (!anchor) {
                    delete item;
                    failure = invalidFormat;
                    break;
                }
                if (anchor->Parent)
                    LinkFirst(anchor->Parent, item);
                else
                    dropped.push_back(item);
            }
        }
        placed = item;
        previousLevel = *level;
    }
    for (TTreeItem *item : dropped)
        FreeSubtree(item);
    if (!failure.isEmpty() && root) {
        FreeSubtree(root);
        root = nullptr;
    }
    if (root)
        SortChildren(root);
    if (error)
        *error = failure;
    EndUpdate();
    return root != nullptr;
}

void TTreeItems::SaveToStrings(QStringList &list) const
{
    if (!root)
        return;
    list.reserve(list.size() + count);
    // Pre-order with an explicit stack of (node, level). Equal names go out
    // oldest first, so that a load, which puts the newest first, keeps them
    // in the order they have now.
    std::vector<std::pair<const TTreeItem *, int>> pending{{root, 0}};
    std::vector<const TTreeItem *> children;
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        if (level > MaxFileLevel || HasLineBreak(node->Name))
            continue;
        list.append(QString::number(node->Expanded ? 1 : 0) +
                    QString::number(level).rightJustified(2, QLatin1Char(' ')) + node->Name);
        children.clear();
        for (const TTreeItem *child = node->FirstChild; child; child = child->Next)
            children.push_back(child);
        for (std::size_t from = 0; from < children.size();) {
            std::size_t to = from + 1;
            while (to < children.size() &&
                   CompareItemNames(children[from]->Name, children[to]->Name) == 0)
                ++to;
            std::reverse(children.begin() + qsizetype(from), children.begin() + qsizetype(to));
            from = to;
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.emplace_back(*it, level + 1);
    }
}

QStringList TreeFileLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(
            sys::DecodeName(QByteArray::fromRawData(bytes.constData() + start, end - start)));
        if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QByteArray TreeFileText(const QStringList &lines)
{
    QByteArray text;
    for (const QString &line : lines) {
        text += sys::EncodeName(line);
        text += "\r\n";
    }
    return text;
}

bool TTreeItems::LoadFromFile(const QString &fileName, QString *error)
{
    if (error)
        error->clear();
    QByteArray bytes;
    if (fileName.isEmpty() || !sys::ReadWholeFile(fileName, bytes))
        return false;
    return LoadFromStrings(TreeFileLines(bytes), error);
}

bool TTreeItems::SaveToFile(const QString &fileName) const
{
    if (!root || fileName.isEmpty())
        return false;
    const QString drive = sys::ExtractFileDrive(fileName);
    const unsigned type = sys::GetDriveType(drive + QLatin1Char('\\'));
    if (type == sys::DRIVE_REMOVABLE || type == sys::DRIVE_CDROM)
        return false;
    QStringList lines;
    SaveToStrings(lines);
    return sys::WriteWholeFile(fileName, TreeFileText(lines));
}

} // namespace kestrel
