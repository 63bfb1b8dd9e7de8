#include "tools/arename.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TRenameRule Rule(TRenameAction action, const QString &text = {}, bool onName = true)
{
    TRenameRule rule;
    rule.action = action;
    rule.text = text;
    rule.onName = onName;
    return rule;
}

TRenameRule Count(qint64 start, qint64 step, int digits, bool atHead, bool onName = true)
{
    TRenameRule rule = Rule(raCount, {}, onName);
    rule.start = start;
    rule.step = step;
    rule.digits = digits;
    rule.countAtHead = atHead;
    return rule;
}

TRenameRule Replace(const QString &find, const QString &replace, bool onName = true)
{
    TRenameRule rule = Rule(raReplace, {}, onName);
    rule.find = find;
    rule.replace = replace;
    return rule;
}

struct Row {
    const char *what;
    TRenameRule rule;
    QStringList sources;
    QStringList results; // expected
    QString error = {};  // expected message; empty when the rule runs through
    int errorIndex = -1;
};

TEST(AdvancedRenameTest, RulesGiveTheirNames)
{
    const QString bad = QStringLiteral("Invalid Format");
    const Row rows[] = {
        {"head", Rule(raHead, "new_"), {"report.txt"}, {"new_report.txt"}},
        {"head on the extension", Rule(raHead, "new_", false), {"report.txt"}, {"report.new_txt"}},
        {"tail", Rule(raTail, "_old"), {"a.b.txt", "x"}, {"a.b_old.txt", "x_old"}},
        // No dot is added to a name without extension.
        {"tail without extension", Rule(raTail, "_old"), {"README"}, {"README_old"}},
        {"tail on a missing extension", Rule(raTail, "bak", false), {"README"}, {"README.bak"}},
        {"only dot first", Rule(raHead, "x"), {".profile"}, {"x.profile"}},
        {"count at the head",
         Count(1, 5, 3, true),
         {"a.txt", "b.txt", "c.txt"},
         {"001a.txt", "006b.txt", "011c.txt"}},
        {"count at the tail", Count(7, 1, 1, false), {"a.txt", "b"}, {"a7.txt", "b8"}},
        {"count wider than its digits", Count(99, 1, 2, true), {"a", "b"}, {"99a", "100b"}},
        {"count on the extension", Count(1, 1, 2, true, false), {"a.txt"}, {"a.01txt"}},
        {"count past the largest number",
         Count(2147483647, 1, 1, true),
         {"a", "b", "c"},
         {"2147483647a", "", ""},
         QStringLiteral("The counter has passed 2147483647."),
         1},
        {"change extension", Rule(raChangeExt, "bak"), {"a.txt", "b"}, {"a.bak", "b.bak"}},
        {"change extension ignores Extension",
         Rule(raChangeExt, "bak", false),
         {"a.txt"},
         {"a.bak"}},
        {"change extension to nothing", Rule(raChangeExt, ""), {"a.txt"}, {"a"}},
        {"cut a range", Rule(raCut, "2~4"), {"12345678.EXT"}, {"15678.EXT"}},
        {"cut from the start", Rule(raCut, "~4"), {"12345678.EXT"}, {"5678.EXT"}},
        {"cut to the end", Rule(raCut, "3~"), {"12345678.EXT"}, {"12.EXT"}},
        {"cut the whole", Rule(raCut, "~"), {"12345678.EXT"}, {".EXT"}},
        {"cut the tail", Rule(raCut, "3-"), {"12345678.EXT"}, {"12345.EXT"}},
        {"cut with blanks", Rule(raCut, " 2 ~ 4 "), {"12345678"}, {"15678"}},
        {"cut the tail with blanks", Rule(raCut, "3 -  "), {"12345678"}, {"12345"}},
        {"cut all of the tail", Rule(raCut, "8-"), {"12345678.EXT"}, {".EXT"}},
        {"cut on the extension", Rule(raCut, "1-", false), {"a.txt"}, {"a.tx"}},
        {"cut backwards", Rule(raCut, "5~3"), {"12345678"}, {""}, bad, 0},
        {"cut minus first", Rule(raCut, "-3"), {"12345678"}, {""}, bad, 0},
        {"cut no form", Rule(raCut, "abc"), {"12345678"}, {""}, bad, 0},
        {"cut after the minus", Rule(raCut, "3-1"), {"12345678"}, {""}, bad, 0},
        {"cut past the end", Rule(raCut, "2~9"), {"12345678"}, {""}, bad, 0},
        {"cut more than there is", Rule(raCut, "9-"), {"12345678"}, {""}, bad, 0},
        {"cut from position 0", Rule(raCut, "0~2"), {"12345678"}, {""}, bad, 0},
        {"cut no number",
         Rule(raCut, "x~2"),
         {"12345678"},
         {""},
         QStringLiteral("'x' is not a valid integer value"),
         0},
        // An error stops at its entry; the earlier ones keep their names.
        {"cut stops at a short name",
         Rule(raCut, "3~5"),
         {"abcdef", "ab", "abcdef"},
         {"abf", "", ""},
         bad,
         1},
        {"replace", Replace("a", "o"), {"banana.a"}, {"bonono.a"}},
        {"replace growing", Replace("a", "aa"), {"banana"}, {"baanaanaa"}},
        {"replace until none is left", Replace("aa", "a"), {"aaaab"}, {"ab"}},
        {"replace with case", Replace("A", "x"), {"aAa"}, {"axa"}},
        {"replace on the extension", Replace("t", "T", false), {"t.txt"}, {"t.TxT"}},
        {"replace nothing", Replace("", "x"), {"abc"}, {"abc"}},
        {"replace without end",
         Replace("ab", "bbaa"),
         {"aab"},
         {""},
         QStringLiteral("Replacing \"ab\" by \"bbaa\" does not come to an end."),
         0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        QStringList results;
        const TRenameOutcome outcome = ComputeNames(row.sources, 0, row.rule, results);
        EXPECT_EQ(results, row.results);
        EXPECT_EQ(outcome.ok, row.error.isEmpty());
        EXPECT_EQ(outcome.message, row.error);
        EXPECT_EQ(outcome.index, row.errorIndex);
    }
}

TEST(AdvancedRenameTest, EntriesBeforeTheStartKeepTheirNamesAndTheCountStartsThere)
{
    const QStringList sources = {"a", "b", "c"};
    QStringList results = {"kept", "b", "c"};
    ASSERT_TRUE(ComputeNames(sources, 1, Count(1, 1, 1, true), results).ok);
    EXPECT_EQ(results, (QStringList{"kept", "1b", "2c"}));
}

TEST(AdvancedRenameTest, NamesThatAreNoTextStayWhole)
{
    // Bytes that are no UTF-8 come as lone surrogates and go back unchanged.
    const QString odd = QString(QChar(0xDCFF)) + QStringLiteral("x=y.txt");
    QStringList results;
    ASSERT_TRUE(ComputeNames({odd}, 0, Rule(raHead, "1 "), results).ok);
    EXPECT_EQ(results, QStringList{QStringLiteral("1 ") + odd});
}

} // namespace
} // namespace kestrel
