#include "platform/wildcard.h"

#include "platform/names.h"

#include <gtest/gtest.h>

namespace kestrel::sys {
namespace {

TEST(Wildcard, FollowsTheFileSystemRules)
{
    const struct {
        const char *mask;
        const char *name;
        bool match;
    } rows[] = {
        {"*", "anything.txt", true},
        {"*", "README", true},
        {"*.*", "report.doc", true},
        {"*.*", "README", true}, // "*.*" also matches names without a dot
        {"*.*", ".profile", true},
        {"*.txt", "notes.TXT", true}, // case ignored
        {"*.TXT", "notes.txt", true},
        {"*.txt", "notes.txt.bak", false},
        {"*.txt", "txt", false},
        {"*.txt", "a.txt.txt", true},
        {"?", "a", true},
        {"?", "ab", false},
        {"?", "", false},
        {"a?.d*", "ab.doc", true},
        {"a?.d*", "AB.D", true},
        {"a?.d*", "a.doc", false}, // '?' is exactly one character
        {"a?.d*", "abc.doc", false},
        {"a?.d*", "ab.xd", false},
        {"a?.d*", "ab", false},
        {"abc.*", "abc", true}, // trailing ".*" also matches without extension
        {"abc.*", "abc.x", true},
        {"abc.*", "abcd", false},
        {"*.", "Makefile", true}, // "*." asks for names without an extension
        {"*.", "Makefile.am", false},
        {"mak*.", "MAKEFILE", true},
        {"*a*b*", "xxaYYbzz", true},
        {"*a*b*", "xxbYYazz", false},
        {"*ab", "abab", true},
        {"file?.txt", "file1.txt", true},
        {"file?.txt", "file12.txt", false},
        {"Über*", "übersicht.txt", true}, // non-ASCII case folding
        {"a b=c.*", "A B=C.txt", true},
        {"exact.txt", "EXACT.TXT", true},
        {"exact.txt", "exact.tx", false},
    };
    for (const auto &r : rows)
        EXPECT_EQ(MatchesMask(QString::fromUtf8(r.name), QString::fromUtf8(r.mask)), r.match)
            << "mask " << r.mask << " name " << r.name;
    // Undecodable bytes are themselves: "A\xBD" is not matched by "a\xA2".
    EXPECT_TRUE(MatchesMask(DecodeName("A\xBD.txt"), DecodeName("a\xBD.*")));
    EXPECT_FALSE(MatchesMask(DecodeName("A\xBD.txt"), DecodeName("a\xA2.*")));
}

// A '*' in the mask used to match only a literal '*' where the name had one,
// so names holding '*' (legal here) slipped past filters and selection masks.
TEST(Wildcard, MaskWildcardsStayWildcardsAgainstStarsInNames)
{
    const struct {
        const char *mask;
        const char *name;
        bool match;
    } rows[] = {
        {"*.txt", "*a.txt", true},   // the name's '*' faces the mask's
        {"x*", "x*y", true},         // a trailing '*' after a '*' in the name
        {"**", "**)**", true},       // every mask '*' is free to match any run
        {"x*.txt", "x*y.txt", true}, // the '*' must not stop at the name's '*'
        {"*b*", "a*b*c", true},      // stars on both sides
        {"*.", "a*b", true},         // no extension
        {"a?b", "a*b", true},        // '?' is one character, a '*' included
        {"??", "?*", true},          // and a '?' too
        {"*a", "a*", false},         // a literal '*' in the name is no 'a'
        {"a*b", "ab*", false},       // nor a 'b'
        {"*.txt", "*.txt*", false},  // the name goes on after ".txt"
    };
    for (const auto &r : rows)
        EXPECT_EQ(MatchesMask(QString::fromUtf8(r.name), QString::fromUtf8(r.mask)), r.match)
            << "mask " << r.mask << " name " << r.name;
}

} // namespace
} // namespace kestrel::sys
